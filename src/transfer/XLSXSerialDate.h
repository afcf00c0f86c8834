#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

// Spreadsheet serial dates: days since the workbook's epoch, the fraction being the time of day.
// A serial names a calendar day and a wall-clock time, so a day on which the clock changes keeps its
// times. In the 1900 system serials below 61 count the 29th of February 1900 that never was, as the
// spreadsheets that made the system do: serial 1 is 1900-01-01, 59 is 1900-02-28.
namespace XLSXSerialDate
{

struct WallClock {
    QDate day;
    int msecs = 0; // since the start of the day
};

// The calendar day and wall-clock time of the serial; none for a text that is no number, a negative
// one, the day 1900-02-29 (serial 60) or a day outside the calendar.
std::optional<WallClock> wallClockForSerial(QStringView value, bool date1904);
std::optional<WallClock> wallClockForSerial(double serial, bool date1904);
// The same as a local date and time.
std::optional<QDateTime> dateTimeForSerial(QStringView value, bool date1904);
// The form the import reads: "yyyy-MM-dd HH:mm:ss.S" and the zone's offset ("+0100").
QString importText(const QDateTime &dateTime);
QString importText(const WallClock &wallClock, int offsetSeconds);
// The serial of the 1900 system (1970-01-01 is 25569) of a local date and time; none before 1900.
std::optional<double> serialForDateTime(const QDateTime &dateTime);

// The local zone's offset from UTC at wall-clock times, asked of the system once per calendar day:
// a sheet holds a date in every row, and each question of the system costs a look at the zone file.
// Only on a day whose offset changes is every time asked on its own.
class LocalOffsets
{
public:
    int offsetAt(const WallClock &wallClock);

private:
    static constexpr int varies = -1000000;
    QHash<qint64, int> byDay_;
};

} // namespace XLSXSerialDate
