#pragma once

#include <string>

// A medium that thickens: the viscosity rises from fromNcm to toNcm (Ncm per
// 1000 rpm) as toNcm + (fromNcm - toNcm)·exp(-t/tauS), t counting the
// simulated seconds since the motor was first given a speed. tauS 0 jumps
// to toNcm at once. Falling values (fromNcm > toNcm) thin the medium.
struct SimThickening
{
    bool on = false;
    double fromNcm = 0;
    double toNcm = 0;
    double tauS = 0;

    // Reads "FROM:TO:TAU" (three finite numbers of at least 0) into value,
    // switched on. False, value untouched, on anything else.
    static bool Parse(const std::string& text, SimThickening& value);
};
