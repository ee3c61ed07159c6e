#pragma once

#include "SimThickening.h"

#include <cstdint>

// Faults the simulated stirrer injects at random, each reply rolling every
// share on its own (0 = never, 1 = always). Repeatable for a given seed.
struct SimFaults
{
    double dropShare = 0;     // reply never sent
    double corruptShare = 0;  // checksum byte wrong
    double refuseShare = 0;   // acknowledgement with result byte 0x01 (good checksum)
    double lateShare = 0;     // reply sent lateMs after the request instead of at once
    double garbageShare = 0;  // 1 to 4 random bytes 250 ms after the reply
    int lateMs = 6000;        // past both reply limits (2000 and 5000 ms)
    double disconnectAfterS = 0;  // the line goes away after this long; 0 = never
};

// Behaviour of the simulated stirrer.
struct SimSettings
{
    double timeConstantS = 1.0;  // first-order lag of the measured speed
    double viscosity = 10.0;     // torque in Ncm per 1000 rpm; unused while thickening
    double noiseRpm = 2.0;       // standard deviation of the measured speed
    double torqueNoiseNcm = -1;  // standard deviation of the torque; below 0: the
                                 // speed's noise carried through the viscosity
    SimThickening thickening;
    int replyDelayMs = 20;       // from the last byte of a request to its reply
    std::uint32_t seed = 1;
    SimFaults faults;
};
