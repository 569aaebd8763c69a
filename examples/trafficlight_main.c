/* Runs the traffic light of TrafficLight.fsm through two pedestrian crossings,
 * one tick at a time, and checks the lamps. Works with either style:
 *   tarvel TrafficLight.fsm --style=ch    cc trafficlight_main.c TrafficLight.c
 *   tarvel TrafficLight.fsm --style=chr   cc -DFSM_REENTRANT trafficlight_main.c TrafficLight.c
 * Exits with the number of failed checks. */
#include <stdio.h>

/* The types of the module, which the reentrant header uses. */
typedef unsigned char T_u8;
typedef unsigned short T_u16;
typedef unsigned int T_bit;
typedef char T_char;

#include "TrafficLight.h"

/* The lamps and the button, defined by the machine's initialisation text. */
extern T_u8 carRed, carYellow, carGreen, walkLamp, dontWalkLamp;
extern T_u8 buttonPressed;

#if defined(FSM_REENTRANT)
static T_TrafficLight crossing;
T_u8 TrafficLight_CarsMayDrive(T_TrafficLight *instance);
#define START() TrafficLight_Reset(&crossing)
#define TICK() TrafficLight(&crossing)
#define CARS_MAY_DRIVE() TrafficLight_CarsMayDrive(&crossing)
#else
T_u8 TrafficLight_CarsMayDrive(void);
#define START()
#define TICK() TrafficLight()
#define CARS_MAY_DRIVE() TrafficLight_CarsMayDrive()
#endif

enum { OFF = 0, ON = 1, FLASH = 2, LIMIT = 1000 };

static int failures = 0;

static void check(const char *what, int ok)
{
    if (!ok) {
        printf("  failed: %s\n", what);
        ++failures;
    }
}

/* Ticks until `lamp` shows `value` (LIMIT when it never does). */
static int ticksUntil(const T_u8 *lamp, T_u8 value)
{
    int ticks = 0;
    while (*lamp != value && ticks < LIMIT) {
        TICK();
        ++ticks;
    }
    return ticks;
}

/* One press of the button while the cars have had green for a while or not:
 * green lasts at least 100 ticks. */
static void crossing_(const char *which, int greenTicks)
{
    int ticks;
    printf("%s\n", which);
    buttonPressed = 1;
    ticks = ticksUntil(&carYellow, ON);
    printf("  yellow after %d ticks\n", ticks);
    check("yellow after the request", ticks == greenTicks && carGreen == OFF);
    check("the request is still pending", buttonPressed == 1);

    ticks = ticksUntil(&carRed, ON);
    check("yellow lasts 30 ticks", ticks == 30 && carYellow == OFF);
    /* Red continues into WALK at once: the pedestrians start in the same tick. */
    check("walk shown in the tick red comes", walkLamp == ON && dontWalkLamp == OFF);
    check("request served", buttonPressed == 0);
    check("cars stopped", !CARS_MAY_DRIVE());

    ticks = ticksUntil(&walkLamp, FLASH);
    check("walk lasts 50 ticks", ticks == 50);
    ticks = ticksUntil(&carGreen, ON);
    check("flashing lasts 30 ticks, then green", ticks == 30);
    check("don't walk again", dontWalkLamp == ON && walkLamp == OFF && carRed == OFF);
    check("cars may drive", CARS_MAY_DRIVE());
}

int main(void)
{
    int ticks;
    START();
    TICK();
    check("green at start", carGreen == ON && carRed == OFF && dontWalkLamp == ON);
    ticks = ticksUntil(&carYellow, ON);
    check("green stays without a request", ticks == LIMIT);
    crossing_("first crossing", 2);
    /* The pedestrian signal resumes where it stopped (history) and starts again. */
    crossing_("second crossing", 100);
    printf("%s\n", failures == 0 ? "all checks passed" : "checks failed");
    return failures;
}
