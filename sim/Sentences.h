#pragma once
// The sentences the unit sends, each built from the boat's fix or one
// transducer reading, complete with checksum and CR LF.
#include <cstdint>
#include <string>

#include "sim/Track.h"

namespace orv::sim {

constexpr int kTransducers = 16;

// $SDVHW,084.4,T,081.3,M,05.5,N,10.2,K*hh   heading true, magnetic, knots, km/h
std::string VhwSentence(const Fix& fix);
// $SDDBT,0059.1,f,0018.0,M,0009.8,F*hh      depth in feet, metres, fathoms
std::string DbtSentence(const Fix& fix);
// $SDMTW,16.8,C*hh                          water temperature
std::string MtwSentence(const Fix& fix);
// $SDVLW,2354.92,N,0.41,N*hh                total and trip log
std::string VlwSentence(const Fix& fix);
// $GPRMC,092211,A,5759.097,N,01144.343,E,005.5,028.3,200715,003.1,E*hh
std::string RmcSentence(const Fix& fix);
// $GPGLL,5759.10,N,01144.34,E,092211,A*hh
std::string GllSentence(const Fix& fix);
// $IIXDR,C,0071.5,C,ENGTMP3*65   type, value in six characters, unit, name
// whose seventh character is the transducer's hex index. `seconds` is unit
// time, `phase` shifts the reading's slow swing.
std::string XdrSentence(int index, double seconds, double phase);
// $PZTQS,RUN,V1.42*hh            status text of at most 9 characters
std::string StatusSentence(const std::string& status);

}  // namespace orv::sim
