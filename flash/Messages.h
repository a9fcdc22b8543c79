#pragma once
// Every text the flash subsystem shows a person, in one place. The texts of
// the original program are kept byte for byte, odd spacing included; the
// ones under "Refusals" are ours and follow the style of the format error.

namespace orv::flash::msg {

// Message box captions.
constexpr char kCaptionError[] = "Error";
constexpr char kCaptionStatus[] = "Status";

// Questions (caption "Status", Yes and No). Two blanks before "Flash" in the
// last one, as the unit's users have always seen it.
constexpr char kEraseAndFlash[] = "Erase and Flash Data?";
constexpr char kSaveFlashData[] = "Save Flash Data?";
constexpr char kSureToFlash[] = "Are you sure you want to  Flash Data?";

// Progress and results (caption "Status").
constexpr char kOcdVersion[] = "OCD VERSION: %d.%d";
constexpr char kFlashCrc[] = "FLASH CRC: %2d%2d";
constexpr char kFlashErased[] = "Flash Memory Erased";
constexpr char kLoadedBytes[] = "Loaded Flash: bytes =%d";

// Port settings of the OCD link.
constexpr char kConfigurePort[] = "Unable to configure the serial port";
constexpr char kSetTimeouts[] = "Unable to set the time-out parameters";

// The FLASH cable and the debugger behind it.
constexpr char kReadingData[] = "Error Reading data - check FLASH cable";
constexpr char kReadingOcdStatus[] = "Error Reading OCD Status - check FLASH cable";
constexpr char kReadingFlashData[] = "Error Reading FLASH data - check FLASH cable";
constexpr char kReadingCrcData[] = "Error Reading CRC data - check FLASH cable";
constexpr char kWritingController[] = "Error writing FLASH Controller - check FLASH cable";
constexpr char kWaitingErase[] = "Error waiting for FLASH Erase - check FLASH cable";
constexpr char kWritingData[] = "Error writing data - check FLASH cable";
constexpr char kGettingCrc[] = "Error getting CRC - check FLASH cable";
constexpr char kFlashInit[] = "Error in FLASH init";

// The unit's firmware loader over the normal connection.
constexpr char kWritingDevice[] = "Error Writing to device";

// The image file.
constexpr char kNoFlashPath[] = "No Flash file path specified";
constexpr char kOpenFlashFile[] = "Could not Open Flash File";
constexpr char kReadingFile[] = "Error Reading from file";
constexpr char kCloseFile[] = "Could not Close File";
constexpr char kCloseFlashFile[] = "Could not Close flash File";
constexpr char kInvalidFileType[] = "Invalid File Type";
constexpr char kDbFormat[] = "Error in file format : line must start with db ' or db %";

// Refusals of images that would reach the unit in pieces, overrun a
// buffer, wrap past the top of memory or program only part of the unit.
constexpr char kLineTooLong[] = "Error in file format : line longer than 59 characters";
constexpr char kRecordTooLong[] = "Error in file format : record longer than 16 bytes";
constexpr char kRecordTooShort[] = "Error in file format : record shorter than its length";
constexpr char kPastEndOfMemory[] = "Error in file format : data runs past address FFFF";
constexpr char kNoEndRecord[] = "Error in file format : no end record - file incomplete";
constexpr char kTableHeader[] = "Error in file format : table header must read [TABLE][AAAA][N][M]";
constexpr char kTableWidth[] = "Error in file format : table line width must be 1 to 15";
constexpr char kIntelHexPages[] = "Error in file format : no page range after [INTELHEX]";

// Waits that the original left without an end, and faults it never noticed.
constexpr char kSendTimedOut[] = "Timed out sending data - check FLASH cable";
constexpr char kEraseTimedOut[] = "Timed out waiting for FLASH Erase - check FLASH cable";
constexpr char kFileTooLarge[] = "Error in file format : file too large for a flash image";
constexpr char kWritingFile[] = "Error Writing to file";

// The file dialog of the FLASH run.
constexpr char kFlashFileName[] = "Quorvel_Flash";
constexpr char kFlashFileExtension[] = "txt";
constexpr char kFlashFileFilter[] = "Text Files (*.txt)|*.txt|HEX Files (*.hex)|*.hex||";

}  // namespace orv::flash::msg
