#pragma once
// Every text the flash subsystem shows a person, in one place. The texts of
// the original program are kept byte for byte, odd spacing included; the
// refusals are ours and follow the style of its format error ("Error in
// file format : line must start with db ' or db %", kept as kDbLine).

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

// Refusals of an image before anything is sent: shown as
// "Error in file format : line 7: checksum 3A, the record's bytes need 3B"
// (kRefusal with the line number and one of the texts after it).
constexpr char kRefusal[] = "Error in file format : line %d: %s";
constexpr char kNoEndRecord[] = "Error in file format : no end record after line %d - file incomplete";
constexpr char kNoTag[] = "no [TABLE], [INTELHEX] or [ZTQFLASH] tag";
constexpr char kTwoTags[] = "more than one of [TABLE], [INTELHEX] and [ZTQFLASH]";
constexpr char kTableHeader[] = "table header must read [TABLE][AAAA][N][M], AAAA in hex";
constexpr char kTableWidth[] = "table line width must be 1 to 15";
constexpr char kTableEmpty[] = "table holds no record - two db lines make one";
constexpr char kIntelHexPages[] = "page range after [INTELHEX] must be four hex digits";
constexpr char kDbLine[] = "line must start with db ' or db %";
constexpr char kDbHex[] = "db % must be followed by two hex digits";
constexpr char kLineTooLong[] = "line longer than 59 characters";
constexpr char kNotRecord[] = "not an Intel HEX record (no ':' at its start)";
constexpr char kBadDigit[] = "character %d is not a hex digit";
constexpr char kRecordLength[] = "record length does not match its data";
constexpr char kChecksum[] = "checksum %02X, the record's bytes need %02X";
constexpr char kRecordType[] = "unknown record type %02X";
constexpr char kUpperAddress[] = "address record must name 0000 - the unit has 64 KiB";
constexpr char kRecordTooLong[] = "record longer than 16 bytes";
constexpr char kPastEndOfMemory[] = "data runs past address FFFF";
constexpr char kOutsidePages[] = "data at %04X outside the pages %02X to %02X the header erases";
constexpr char kAfterEnd[] = "record after the end record";

// Waits that the original left without an end, and faults it never noticed.
constexpr char kSendTimedOut[] = "Timed out sending data - check FLASH cable";
constexpr char kEraseTimedOut[] = "Timed out waiting for FLASH Erase - check FLASH cable";
constexpr char kFileTooLarge[] = "Error in file format : file too large for a flash image";
constexpr char kWritingFile[] = "Error Writing to file";
constexpr char kSetBuffer[] = "Could not set buffer to 0";

// The file dialog of the FLASH run.
constexpr char kFlashFileName[] = "Quorvel_Flash";
constexpr char kFlashFileExtension[] = "txt";
constexpr char kFlashFileFilter[] = "Text Files (*.txt)|*.txt|HEX Files (*.hex)|*.hex||";

}  // namespace orv::flash::msg
