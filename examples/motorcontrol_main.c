/* Drives the motor controller of MotorControl.fsm tick by tick and checks
 * its PWM output: the soft start at every start, the speed program that goes
 * on after a pause, the stop, a fault. Generated reentrant, two motors run
 * side by side, one instance each:
 *   tarvel MotorControl.fsm --style=chr   cc -DFSM_REENTRANT motorcontrol_main.c MotorControl.c
 *   tarvel MotorControl.fsm --style=ch    cc motorcontrol_main.c MotorControl.c  (one motor)
 * Exits with the number of failed checks. */
#include <stdio.h>

/* The types of the module, which the reentrant header uses. */
typedef unsigned char T_u8;
typedef unsigned short T_u16;
typedef unsigned int T_bit;
typedef char T_char;

#include "motor_drive.h"
#include "MotorControl.h"

#if defined(FSM_REENTRANT)
#define MOTORS 2
static T_MotorControl machine[MOTORS];
#define RESET(m) MotorControl_Reset(&machine[m])
#define TICK(m) MotorControl(&machine[m], &drive[m])
#else
/* The module holds the state of one motor. */
#define MOTORS 1
#define RESET(m) ((void)(m))
#define TICK(m) MotorControl(&drive[m])
#endif

static MotorDrive drive[MOTORS];
static int failures = 0;

static void check(const char *what, int ok)
{
    if (!ok) {
        printf("  failed: %s\n", what);
        ++failures;
    }
}

static void ticks(int m, int count)
{
    while (count-- > 0) {
        TICK(m);
    }
}

/* Runs `count` ticks of motor m and checks its duty cycle then. */
static void expectPwmAfter(int m, int count, unsigned char pwm, const char *what)
{
    ticks(m, count);
    check(what, drive[m].pwm == pwm);
}

/* Gives a command and runs the tick that takes it. */
static void command(int m, enum MotorCommand c)
{
    drive[m].command = c;
    TICK(m);
}

/* Starts motor m from standstill and checks the ramp: 10, 20, 30 %, then
 * the program runs. */
static void startAndRamp(int m, const char *what)
{
    command(m, CMD_START);
    expectPwmAfter(m, 1, 10, what);
    expectPwmAfter(m, 1, 20, what);
    expectPwmAfter(m, 1, 30, what);
}

int main(void)
{
    int m;
    for (m = 0; m < MOTORS; ++m) {
        RESET(m);
        TICK(m);
        check("off at first", drive[m].pwm == 0);
    }

    printf("motor 0: start, the program's first step\n");
    startAndRamp(0, "soft start");
    expectPwmAfter(0, 1, 30, "program: low");
    expectPwmAfter(0, 50, 60, "program: medium after 50 ticks");
    ticks(0, 19);

    printf("motor 0: pause and start again\n");
    command(0, CMD_PAUSE);
    expectPwmAfter(0, 1, 0, "paused: off");
    startAndRamp(0, "every start ramps up from zero");
    expectPwmAfter(0, 1, 60, "the program goes on with its step");
    expectPwmAfter(0, 29, 90, "with the step's remaining ticks");

#if MOTORS > 1
    printf("motor 1: a fault while running\n");
    startAndRamp(1, "motor 1 soft start");
    ticks(1, 5);
    drive[1].fault = 1;
    expectPwmAfter(1, 2, 0, "fault: off");
    command(1, CMD_RESET);
    command(1, CMD_START);
    check("no reset while the fault lasts", drive[1].pwm == 0);
    drive[1].fault = 0;
    command(1, CMD_RESET);
    startAndRamp(1, "motor 1 starts again");
    expectPwmAfter(0, 1, 90, "motor 0 went on meanwhile");
#endif

    printf("motor 0: stop, start from the program's first step\n");
    command(0, CMD_STOP);
    expectPwmAfter(0, 1, 0, "stopped: off");
    check("the stop was taken", drive[0].command == CMD_NONE);
    startAndRamp(0, "soft start after the stop");
    expectPwmAfter(0, 1, 30, "program: low again");

    printf("%s\n", failures == 0 ? "all checks passed" : "checks failed");
    return failures;
}
