#pragma once

// The old Japanese lunisolar calendar, the six-day cycle (rokuyo) and the
// solar terms. The longitudes of the sun and the moon come from short
// periodic series; they are good to a few hundredths of a degree, which is
// enough to place new moons and solar terms on the right day in nearly every
// case. Nothing is cached: every conversion stands on its own.

#include "core/days.h"

#include <string>

// The angle brought into [0, 360).
double NormalizeAngle(double degrees);
// Apparent longitudes (degrees) at T Julian centuries from J2000.
double SunLongitude(double t);
double MoonLongitude(double t);

// The index n (0..23) of the solar term that begins during the date (the sun
// reaches 15 * n degrees that day: 0 spring equinox, 6 summer solstice, 12
// autumnal equinox, 18 winter solstice), or -1 when none does.
int SolarTermOfDate(days::Day date);

class TKyureki
{
public:
    // Converts the date (a day number) and keeps the result in the fields.
    void Calc(days::Day date);

    // Shift_JIS name of the six-day cycle of the converted date.
    const std::string& RokuyoName() const;
    // 1 on "大安" days, 2 on "仏滅" days, 0 otherwise.
    int RokuyoLuck() const;

    // Times here are Julian-day-like numbers on local (JST) time: the whole
    // part is the day number plus 2415018, the fraction the time of day.

    // The last moment at or before tm at which the solar longitude is a
    // multiple of step (90 or 30 degrees). The moment keeps its time of day:
    // callers that step on from it must not lose the part of the day.
    double PrincipalTermBefore(int step, double tm);
    // The new moon found by iterating from tm.
    double NewMoonNear(double tm);

    days::Day Date = 0;
    int OldYear = 0;
    int OldMonth = 1;
    int OldDay = 1;
    bool Leap = false;
    // Longitude targeted by the last principal-term search.
    double WorkLongitude = 0;

private:
    int RokuyoIndex() const;
};
