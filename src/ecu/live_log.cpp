#include "ecu/live_log.h"

#include <cstdio>
#include <system_error>

namespace gasecu::ecu {

namespace {

struct Civil {
    int year;
    unsigned month, day;
    long hours, minutes, seconds, milliseconds;
};

Civil CivilOf(LocalTimeMs t) {
    using namespace std::chrono;
    const local_days day = floor<days>(t);
    const year_month_day date{day};
    const hh_mm_ss<milliseconds> time{t - day};
    return {static_cast<int>(date.year()), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
            static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
            static_cast<long>(time.seconds().count()), static_cast<long>(time.subseconds().count())};
}

constexpr int kMostRecordingsInOneSecond = 99;

}  // namespace

std::string LiveLogFileName(LocalTimeMs started) {
    const Civil c = CivilOf(started);
    char text[64];
    // NOLINTNEXTLINE(cert-err33-c): a date and a time of day fit with room to spare
    std::snprintf(text, sizeof text, "gasecu_log_%04d-%02u-%02u_%02ld-%02ld-%02ld.csv", c.year, c.month, c.day, c.hours,
                  c.minutes, c.seconds);
    return text;
}

std::string LiveLogTimeStamp(LocalTimeMs at) {
    const Civil c = CivilOf(at);
    char text[64];
    // NOLINTNEXTLINE(cert-err33-c): a date and a time of day fit with room to spare
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02ld.%03ld", c.year, c.month, c.day, c.hours,
                  c.minutes, c.seconds, c.milliseconds);
    return text;
}

std::string LiveLogHeader() { return "time," + CsvHeader(); }

std::string LiveLogRow(LocalTimeMs at, const LiveSample& sample) { return LiveLogTimeStamp(at) + "," + CsvRow(sample); }

std::filesystem::path LiveLogTemporaryPath(const std::filesystem::path& finalPath) {
    std::filesystem::path temporary = finalPath;
    temporary += ".partial";
    return temporary;
}

LiveLogFile::LiveLogFile(std::unique_ptr<LineFile> file, std::filesystem::path finalPath,
                         std::filesystem::path temporary)
    : file_(std::move(file)), final_(std::move(finalPath)), temporary_(std::move(temporary)) {}

std::unique_ptr<LiveLogFile> LiveLogFile::Create(const std::filesystem::path& directory, LocalTimeMs started,
                                                 const LineFileOpener& open) {
    const std::string name = LiveLogFileName(started);
    const std::string stem = name.substr(0, name.size() - 4);  // without ".csv"
    for (int n = 1; n <= kMostRecordingsInOneSecond; ++n) {
        const std::filesystem::path finalPath =
            directory / (n == 1 ? name : stem + "_" + std::to_string(n) + ".csv");
        const std::filesystem::path temporary = LiveLogTemporaryPath(finalPath);
        std::error_code ec;
        if (std::filesystem::exists(finalPath, ec) || std::filesystem::exists(temporary, ec)) continue;
        std::unique_ptr<LineFile> file = open ? open(temporary) : nullptr;
        if (!file) return nullptr;
        if (!file->writeLine(LiveLogHeader())) {
            file->close();
            std::filesystem::remove(temporary, ec);
            return nullptr;
        }
        return std::unique_ptr<LiveLogFile>(new LiveLogFile(std::move(file), finalPath, temporary));
    }
    return nullptr;
}

bool LiveLogFile::append(LocalTimeMs at, const LiveSample& sample) {
    if (failed_ || !file_) return false;
    if (!file_->writeLine(LiveLogRow(at, sample))) {
        failed_ = true;
        file_->close();
        return false;
    }
    ++rows_;
    return true;
}

bool LiveLogFile::finish() {
    if (!file_) return false;
    const bool closed = file_->close();
    file_.reset();
    std::error_code ec;
    if (!std::filesystem::exists(temporary_, ec)) return false;  // the folder went with it
    std::filesystem::rename(temporary_, final_, ec);
    return !ec && (closed || failed_);
}

}  // namespace gasecu::ecu
