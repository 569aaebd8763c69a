/* The drive of one motor as the MotorControl machine sees it: the command
 * and the fault input, the PWM output. Included by the machine's
 * initialisation text and by the application. */
#ifndef MOTOR_DRIVE_H
#define MOTOR_DRIVE_H

enum MotorCommand { CMD_NONE, CMD_START, CMD_PAUSE, CMD_STOP, CMD_RESET };

typedef struct {
    /* Set by the application, taken (set back to CMD_NONE) by the machine. */
    enum MotorCommand command;
    /* Over-current of the power stage. */
    unsigned char fault;
    /* Duty cycle of the power stage, 0..100 %. */
    unsigned char pwm;
    /* Kept by the machine: ticks in the current program step. */
    unsigned char stepTicks;
} MotorDrive;

#endif
