#pragma once
// What each picture button does, in the About box's own words; the buttons
// carry the same texts as tooltips and accessible names.
namespace legend {

constexpr const char* kConnect =
    "CONNECT - used to make connection to selected port - red when not connected, green when connected";
constexpr const char* kRecord =
    "RECORD - used to start recording of data to file specified by SAVE FILE button";
constexpr const char* kSave = "SAVE FILE - used to specify the file name and location to save recorded data.";
constexpr const char* kScroll =
    "SCROLL - used to scroll through menu choices on unit. Same as top button on unit";
constexpr const char* kSelect =
    "SELECT - used to select the current menu item. Same as bottom button on unit.";
constexpr const char* kFlash = "FLASH - used to erase and then send a formatted  data file to the unit";
constexpr const char* kDisplay =
    "PAGE - used to select the next display page when more data is present then can fit on screen";

}  // namespace legend
