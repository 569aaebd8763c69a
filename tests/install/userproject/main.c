/* Runs the traffic light until the pedestrians had their turn. */
#include <stdio.h>

#include "TrafficLight.h"

extern unsigned char carGreen, walkLamp, buttonPressed;

int main(void) {
    int tick;
    buttonPressed = 1;
    for (tick = 0; tick < 200 && walkLamp == 0; ++tick) {
        TrafficLight();
    }
    printf("walk after %d ticks\n", tick);
    return walkLamp == 1 ? 0 : 1;
}
