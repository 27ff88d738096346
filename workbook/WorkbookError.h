#pragma once

#include <stdexcept>
#include <string>

namespace tv {

// Every failure of the workbook reader and writer. The message is the text the user sees.
class WorkbookError : public std::runtime_error {
  public:
    explicit WorkbookError(const std::string& message) : std::runtime_error(message) {}
};

// The message texts, kept in one place so that callers and tests can compare them.
namespace wbmsg {
// reader
inline constexpr const char* FilenameMissing = "Filename is missing";
inline constexpr const char* NotExcelFile = "File is not a Excel file";
inline constexpr const char* NotExcelWorkbook = "File is not a Excel Workbook";
inline constexpr const char* Encrypted = "Can not read, file is encrypted";
inline constexpr const char* SheetNotFound = "Can not find the sheet";
inline constexpr const char* NoData = "File has no data";
inline constexpr const char* DbcellMissing = "DBCELL record is missing";
inline constexpr const char* RowMissing = "ROW record is missing";
inline constexpr const char* NotOpen = "File is not open";
// Structure that contradicts itself (lengths, offsets, sector chains): our own text.
inline constexpr const char* Damaged = "File is damaged";
inline constexpr const char* CannotOpen = "Can not open file";
// writer
inline constexpr const char* SheetNameMissing = "Sheet Name is missing";
inline constexpr const char* SheetNameTooLong = "Sheet Name is too long";
inline constexpr const char* AlreadyOpen = "File is allready open";
inline constexpr const char* VersionWhileOpen = "Version can not be changed while file is open";
inline constexpr const char* CellsWhenClosed = "Can not write cells when file is closed";
inline constexpr const char* TooManyExternNames = "Too many external names defined";
inline constexpr const char* VersionNotSupported = "Only Excel 5.0 workbooks can be written";
inline constexpr const char* CannotCreate = "Can not create file";
inline constexpr const char* CannotWrite = "Can not write file";
inline constexpr const char* UnknownFormat = "Cell format is not defined";
inline constexpr const char* NoNextSheet = "There is no next sheet";
inline constexpr const char* CellOutOfRange = "Cell position out of range";
} // namespace wbmsg

} // namespace tv
