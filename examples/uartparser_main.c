/* Feeds frames, noise and broken frames through the parser of
 * UartParser.fsm, as a receive interrupt would, and checks what it delivers.
 * Works with either style:
 *   tarvel UartParser.fsm --style=ch    cc uartparser_main.c UartParser.c
 *   tarvel UartParser.fsm --style=chr   cc -DFSM_REENTRANT uartparser_main.c UartParser.c
 * Exits with the number of failed checks. */
#include <stdio.h>
#include <string.h>

/* The types of the module, which the reentrant header uses. */
typedef unsigned char T_u8;
typedef unsigned short T_u16;
typedef unsigned int T_bit;
typedef char T_char;

#include "uart_port.h"
#include "UartParser.h"

#if defined(FSM_REENTRANT)
static T_UartParser parser;
#define START() UartParser_Reset(&parser)
#define PARSE() UartParser(&parser, &port)
#else
#define START()
#define PARSE() UartParser(&port)
#endif

static UartPort port;
static unsigned char lastFrame[FRAME_MAX];
static unsigned char lastLength;
static unsigned int delivered;
static int failures = 0;

static void check(const char *what, int ok)
{
    if (!ok) {
        printf("  failed: %s\n", what);
        ++failures;
    }
}

static void deliver(UartPort *from, const unsigned char *payload, unsigned char length)
{
    (void)from;
    memcpy(lastFrame, payload, length);
    lastLength = length;
    ++delivered;
}

/* The bytes arrive as the receive interrupt hands them over. */
static void receive(const unsigned char *bytes, unsigned int count)
{
    unsigned int i;
    for (i = 0; i < count; ++i) {
        uartReceived(&port, bytes[i]);
    }
}

static unsigned int waiting(void)
{
    return (unsigned int)(port.rxHead - port.rxTail + UART_RX_SIZE) % UART_RX_SIZE;
}

int main(void)
{
    /* Two bytes of noise and a frame of three bytes: 8 bytes. */
    static const unsigned char first[] = {0x00, 0x55, FRAME_SOF, 3, 1, 2, 3, 6};
    static const unsigned char second[] = {FRAME_SOF, 2, 0x10, 0x20, 0x30};
    static const unsigned char badSum[] = {FRAME_SOF, 1, 9, 8};
    /* A length of zero is refused; the parser waits for the next start. */
    static const unsigned char badLength[] = {FRAME_SOF, 0, FRAME_SOF, 1, 7, 7};
    static const unsigned char begun[] = {FRAME_SOF, 4, 1};
    static const unsigned char zeros[70] = {0};
    int i;

    START();
    port.deliver = deliver;

    printf("two frames waiting\n");
    receive(first, sizeof first);
    receive(second, sizeof second);
    PARSE();
    check("one call reads 8 bytes, the loop limit", waiting() == sizeof second);
    check("the first frame", delivered == 1 && lastLength == 3 && lastFrame[2] == 3);
    check("two bytes of noise", port.noiseBytes == 2);
    PARSE();
    check("the second frame", delivered == 2 && lastLength == 2 && lastFrame[1] == 0x20);
    check("everything read", waiting() == 0);

    printf("a wrong checksum, a wrong length\n");
    receive(badSum, sizeof badSum);
    receive(badLength, sizeof badLength);
    PARSE();
    PARSE();
    check("both refused", port.framesBad == 2);
    check("the frame after them", delivered == 3 && lastLength == 1 && lastFrame[0] == 7);

    printf("a frame whose bytes stop coming\n");
    receive(begun, sizeof begun);
    for (i = 0; i < 10; ++i) {
        PARSE();
    }
    check("dropped after the time-out", port.framesBad == 3 && delivered == 3);
    receive(second, sizeof second);
    PARSE();
    check("the next frame is read", delivered == 4);

    printf("more bytes than the buffer holds\n");
    receive(zeros, sizeof zeros);
    check("the bytes beyond the buffer are lost", port.overruns == sizeof zeros - (UART_RX_SIZE - 1));
    for (i = 0; i < 10; ++i) {
        PARSE();
    }
    check("the rest read as noise", port.noiseBytes == 2 + UART_RX_SIZE - 1 && waiting() == 0);

    printf("frames %u good, %u bad; %u bytes of noise, %u lost\n", port.framesOk, port.framesBad,
           port.noiseBytes, port.overruns);
    printf("%s\n", failures == 0 ? "all checks passed" : "checks failed");
    return failures;
}
