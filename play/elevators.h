// Elevators and the switch. An elevator is a wall whose texture name contains "elevator" (elevatorIndex lists
// them): it moves up and down its column at param2 units per step (negative = up), carries the ball resting on
// it, pauses `timer` steps when it lands on something or comes level with a floor beside it, and turns back when
// blocked. The switch cell turns all elevators on and off together (ApplySwitch, play/attempt.h; their speed
// ElevatorSpeed, play/level.h).
#pragma once

#include <cstdint>

constexpr double ElevatorPause = 20;            // steps
constexpr double ElevatorSnap = 5;              // units
constexpr double EmptyElevatorFactor = 1.5;     // an elevator without the ball moves this much faster
constexpr double ElevatorSpacing = 256;         // two moving elevators in one column keep this far apart

// One frame of every elevator, in elevatorIndex order.
void UpdateElevators();
// Moves the elevator at wall position `elevator` toward targetY in unit steps; returns how far it moved.
double MoveElevator(std::int32_t elevator, double targetY);
// True when the elevator may not stand where it is now (it may have been snapped to its stop).
bool ElevatorBlocked(std::int32_t elevator);
