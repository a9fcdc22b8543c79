#pragma once
// What the caption says about the link when it is not fine, in the style of
// the caption's own texts ("recieving..connected"). While data flows, none
// of these shows and the caption holds only the usual texts.
//
//   no data..connected          nothing has arrived for a few seconds
//   no NMEA - baud?..connected  bytes arrive, but no sentence: the line is
//                               most likely set to another rate than the unit's
//   line lost..waiting          the device went away; it is tried again
//   line lost..disconnected     ...until the time allowed has run out
namespace orv {

// Status part (the unit's status text's place).
constexpr const char* kSilentText = "no data..";
constexpr const char* kNotNmeaText = "no NMEA - baud?..";
constexpr const char* kLineLostText = "line lost..";
// State part (where "connected" and "disconnected" go).
constexpr const char* kWaitingText = "waiting";

}  // namespace orv
