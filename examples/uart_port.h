/* One serial port as the UartParser machine sees it: the receive buffer the
 * interrupt fills, the frame being read and the counters. Included by the
 * machine's initialisation text and by the application. */
#ifndef UART_PORT_H
#define UART_PORT_H

#define FRAME_SOF     0x7E /* first byte of a frame */
#define FRAME_MAX     16   /* longest payload */
#define FRAME_TIMEOUT 5    /* calls without a byte that drop a frame begun */
#define UART_RX_SIZE  64   /* receive buffer; one place always stays free */

typedef struct UartPort UartPort;

struct UartPort {
    /* Filled by uartReceived(), emptied by the parser. */
    unsigned char rx[UART_RX_SIZE];
    unsigned char rxHead;
    unsigned char rxTail;
    /* The byte taken last, and whether there was one. */
    unsigned char byte;
    unsigned char byteReady;
    /* Calls that found no byte, since the last byte. */
    unsigned char silentCalls;
    /* The frame being read. */
    unsigned char frame[FRAME_MAX];
    unsigned char length;
    unsigned char count;
    unsigned char sum;
    /* What happened so far. */
    unsigned int framesOk;
    unsigned int framesBad;
    unsigned int noiseBytes;
    unsigned int overruns;
    /* Receives each good frame; may be 0. */
    void (*deliver)(UartPort *port, const unsigned char *payload, unsigned char length);
};

/* Called by the receive interrupt with each byte. */
void uartReceived(UartPort *port, unsigned char byte);

#endif
