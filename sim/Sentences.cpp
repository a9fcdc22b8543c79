#include "sim/Sentences.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "common/Text.h"
#include "sim/Nmea.h"

namespace orv::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Angle as (d)ddmm.mmm: whole degrees in `degreeDigits` places, minutes with
// `decimals` places, rounded once so that 59.9996 minutes carry into the
// degrees instead of printing as 60.000.
std::string Angle(double degrees, int degreeDigits, int decimals) {
  const int64_t scale = decimals == 3 ? 1000 : 100;
  const int64_t units = std::llround(std::fabs(degrees) * 60.0 * static_cast<double>(scale));
  const int64_t whole = units / (60 * scale);
  const int64_t minutes = (units / scale) % 60;
  const int64_t fraction = units % scale;
  return Format("%0*lld%02lld.%0*lld", degreeDigits, static_cast<long long>(whole),
                static_cast<long long>(minutes), decimals, static_cast<long long>(fraction));
}

std::string TimeOfDay(int64_t utc) {
  const int64_t s = ((utc % 86400) + 86400) % 86400;
  return Format("%02d%02d%02d", static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60),
                static_cast<int>(s % 60));
}

// ddmmyy from days since 1970-01-01 (proleptic Gregorian calendar).
std::string Date(int64_t utc) {
  int64_t z = (utc >= 0 ? utc : utc - 86399) / 86400 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return Format("%02d%02d%02d", static_cast<int>(day), static_cast<int>(month),
                static_cast<int>(year % 100));
}

double Wrap360(double degrees) {
  const double d = std::fmod(degrees, 360.0);
  return d < 0 ? d + 360.0 : d;
}

struct Transducer {
  char type;
  char unit;
  const char* name;  // six characters; the hex index completes it
  double base;
  double swing;
  double periodS;
};

// Readings stay within -99.9 .. 9999.9 so that "%06.1f" gives six characters.
constexpr std::array<Transducer, kTransducers> kTable = {{
    {'U', 'V', "BATVLT", 12.6, 0.3, 300},
    {'U', 'V', "BATVLT", 25.1, 0.4, 420},
    {'I', 'A', "ALTAMP", 14.0, 6.0, 240},
    {'C', 'C', "ENGTMP", 71.5, 3.0, 600},
    {'C', 'C', "EXHTMP", 385.0, 25.0, 500},
    {'P', 'B', "OILPRS", 4.2, 0.4, 200},
    {'T', 'R', "ENGRPM", 1850.0, 150.0, 260},
    {'V', 'P', "FUELLV", 62.0, 1.0, 3600},
    {'C', 'C', "SEATMP", 16.8, 0.4, 1800},
    {'C', 'C', "AIRTMP", 19.5, 2.0, 1200},
    {'C', 'C', "CABTMP", 21.0, 1.0, 900},
    {'H', 'P', "HUMIDT", 68.0, 8.0, 1500},
    {'A', 'D', "RUDDER", -2.0, 12.0, 90},
    {'A', 'D', "HEELAN", 4.0, 6.0, 75},
    {'F', 'H', "GENFRQ", 50.0, 0.3, 120},
    {'V', 'P', "WATRLV", 45.0, 2.0, 2400},
}};

}  // namespace

std::string VhwSentence(const Fix& fix) {
  return NmeaSentence(Format("SDVHW,%05.1f,T,%05.1f,M,%04.1f,N,%04.1f,K", fix.headingTrue,
                             Wrap360(fix.headingTrue - fix.variation), fix.speedKnots,
                             fix.speedKnots * 1.852));
}

std::string DbtSentence(const Fix& fix) {
  return NmeaSentence(Format("SDDBT,%06.1f,f,%06.1f,M,%06.1f,F", fix.depthMetres / 0.3048,
                             fix.depthMetres, fix.depthMetres / 1.8288));
}

std::string MtwSentence(const Fix& fix) {
  return NmeaSentence(Format("SDMTW,%.1f,C", fix.waterTempC));
}

std::string VlwSentence(const Fix& fix) {
  return NmeaSentence(Format("SDVLW,%.2f,N,%.2f,N", fix.totalMiles, fix.tripMiles));
}

std::string RmcSentence(const Fix& fix) {
  return NmeaSentence(Format("GPRMC,%s,A,%s,%c,%s,%c,%05.1f,%05.1f,%s,%05.1f,%c",
                             TimeOfDay(fix.utcSeconds).c_str(), Angle(fix.latitude, 2, 3).c_str(),
                             fix.latitude >= 0 ? 'N' : 'S', Angle(fix.longitude, 3, 3).c_str(),
                             fix.longitude >= 0 ? 'E' : 'W', fix.speedKnots, fix.headingTrue,
                             Date(fix.utcSeconds).c_str(), std::fabs(fix.variation),
                             fix.variation >= 0 ? 'E' : 'W'));
}

std::string GllSentence(const Fix& fix) {
  return NmeaSentence(Format("GPGLL,%s,%c,%s,%c,%s,A", Angle(fix.latitude, 2, 2).c_str(),
                             fix.latitude >= 0 ? 'N' : 'S', Angle(fix.longitude, 3, 2).c_str(),
                             fix.longitude >= 0 ? 'E' : 'W', TimeOfDay(fix.utcSeconds).c_str()));
}

std::string XdrSentence(int index, double seconds, double phase) {
  const Transducer& t = kTable[static_cast<size_t>(index) % kTable.size()];
  const double value = t.base + t.swing * std::sin(2 * kPi * seconds / t.periodS + phase);
  return NmeaSentence(Format("IIXDR,%c,%06.1f,%c,%s%X", t.type, value, t.unit, t.name,
                             index & 0xF));
}

std::string StatusSentence(const std::string& status) {
  return NmeaSentence("PZTQS," + status + ",V1.42");
}

}  // namespace orv::sim
