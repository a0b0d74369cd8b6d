// One sync: push, then pull, each in batches that a cut leaves whole.
#include "sync/sync_run.h"

#include <charconv>

#include "sync/local_side.h"
#include "sync/record_check.h"
#include "sync/server_connection.h"
#include "sync/server_schema.h"

namespace gasecu::sync {

namespace {

// Held by every push transaction until it commits: records then become visible
// on the server in the order of their `seq`, so a laptop that has read up to one
// `seq` can never later find a smaller one appear behind it.
constexpr const char* kPushLock = "SELECT pg_advisory_xact_lock(7433002)";

constexpr const char* kInsert =
    "INSERT INTO gasecu_records (uid, laptop, time, port, kind, result, label, curve, settings, slope_factor,"
    " iterations, detail) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12) ON CONFLICT (uid) DO NOTHING";

// A record larger than $3 bytes comes without its fields (only its place and the
// beginning of its identity and laptop, for the message): a hostile record of a
// gigabyte never reaches this laptop's memory.
constexpr const char* kFetch =
    "SELECT seq, size <= $3, left(uid, 40), left(laptop, 80),"
    " CASE WHEN size <= $3 THEN time END, CASE WHEN size <= $3 THEN port END,"
    " CASE WHEN size <= $3 THEN left(kind, 40) END, CASE WHEN size <= $3 THEN result END,"
    " CASE WHEN size <= $3 THEN label END, CASE WHEN size <= $3 THEN curve END,"
    " CASE WHEN size <= $3 THEN settings END, slope_factor, iterations,"
    " CASE WHEN size <= $3 THEN detail END, size"
    " FROM (SELECT *, octet_length(uid) + octet_length(laptop) + octet_length(time) + octet_length(port)"
    "  + octet_length(kind) + octet_length(result) + octet_length(label) + coalesce(octet_length(curve), 0)"
    "  + coalesce(octet_length(settings), 0) + octet_length(detail) AS size"
    "  FROM gasecu_records WHERE seq > $1 ORDER BY seq LIMIT $2) r ORDER BY seq";

using Field = std::optional<std::string>;

Field Text(const std::string& text) { return AsValidUtf8(text); }
Field TextOrNull(const std::string& text) { return text.empty() ? Field() : Text(text); }

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<Field> InsertParameters(const history::Record& r) {
    char slope[40] = "";
    if (r.slopeFactor) std::to_chars(slope, slope + sizeof slope - 1, *r.slopeFactor);
    return {Text(r.uid), Text(r.laptop), Text(r.time), Text(r.port), Text(std::string(history::KindName(r.kind))),
            Text(r.result), Text(r.label), TextOrNull(r.curveText), TextOrNull(r.settings),
            r.slopeFactor ? Field(slope) : Field(), r.iterations ? Field(std::to_string(*r.iterations)) : Field(),
            Text(r.detail)};
}

// One fetched row as a record, or the reason it is refused.
std::string RecordFrom(const std::vector<Field>& row, history::Record& r) {
    const auto text = [&](std::size_t i) { return row[i] ? *row[i] : std::string(); };
    r.uid = text(2);
    r.laptop = text(3);
    if (text(1) != "t") return "larger than " + std::to_string(kLargestRecordBytes / 1024) + " KiB (" + text(14) + " bytes)";
    r.time = text(4);
    r.port = text(5);
    const std::string kind = text(6);
    r.result = text(7);
    r.label = text(8);
    r.curveText = text(9);
    r.settings = text(10);
    if (row[11]) {
        double slope = 0;
        if (!ParseNumber(*row[11], slope)) return "a slope factor that is not a number";
        r.slopeFactor = slope;
    }
    if (row[12]) {
        int iterations = 0;
        if (!ParseNumber(*row[12], iterations)) return "an iteration count that is not a number";
        r.iterations = iterations;
    }
    r.detail = text(13);
    std::string refusal = RefusalOf(r, kind);
    if (refusal.empty()) r.kind = *history::KindNamed(kind);
    return refusal;
}

class Run {
public:
    Run(const std::filesystem::path& file, const SyncOptions& options)
        : file_(file), options_(options), start_(std::chrono::steady_clock::now()) {}

    SyncOutcome go(const std::string& now) {
        local_ = LocalSide::Open(file_, options_.gate, &out_.error);
        if (!local_) {
            out_.error = "the history cannot be opened: " + out_.error;
            return out_;
        }
        server_ = ServerConnection::Connect(options_.uri, options_.timeout, &out_.error);
        if (!server_) return out_;
        out_.serverReached = true;
        out_.server = server_->serverName();
        if (!checkSchema() || !prepare() || !push() || !pull()) return out_;
        if (!local_->noteSyncDone(now, out_.server, &out_.error)) return out_;
        out_.done = true;
        return out_;
    }

private:
    void at(SyncOptions::Point point) {
        if (options_.at) options_.at(point);
    }

    bool inTime() {
        if (std::chrono::steady_clock::now() - start_ <= options_.longest) return true;
        out_.error = "the sync took longer than " + std::to_string(options_.longest.count()) +
                     " s; the rest follows at the next sync";
        return false;
    }

    bool checkSchema() {
        std::string error;
        const int version = ServerSchemaVersion(*server_, &error);
        if (version < 1) {
            out_.error = "the server holds no workshop history (run \"gasecu server-init\" there): " + error;
            return false;
        }
        if (version > kServerSchemaVersion) {
            out_.error = "the server's history (version " + std::to_string(version) +
                         ") is newer than this tool: update the tool";
            return false;
        }
        return true;
    }

    bool prepare() {
        return server_->prepare("push_lock", kPushLock, 0, &out_.error) &&
               server_->prepare("push", kInsert, 12, &out_.error) && server_->prepare("fetch", kFetch, 3, &out_.error);
    }

    bool push() {
        for (;;) {
            const std::vector<history::Record> batch = local_->waiting(options_.batch, &out_.error);
            if (!out_.error.empty()) return false;
            if (batch.empty()) return true;
            if (!server_->exec("BEGIN", &out_.error)) return false;
            bool ok = server_->run("push_lock", {}, &out_.error).has_value();
            if (ok) {
                std::vector<std::vector<Field>> inserts;
                inserts.reserve(batch.size());
                for (const history::Record& r : batch) inserts.push_back(InsertParameters(r));
                ok = server_->runEach("push", inserts, &out_.error);
            }
            if (!ok || !server_->exec("COMMIT", &out_.error)) {
                std::string ignored;
                server_->exec("ROLLBACK", &ignored);
                return false;
            }
            at(SyncOptions::Point::PushSentToServer);
            if (!local_->markPushed(batch, &out_.error)) return false;
            at(SyncOptions::Point::PushNoted);
            out_.pushed += static_cast<std::int64_t>(batch.size());
            if (!inTime()) return false;
        }
    }

    bool pull() {
        const auto state = local_->state(&out_.error);
        if (!state) return false;
        std::int64_t position = state->serverPosition;
        for (;;) {
            const auto rows = server_->run(
                "fetch", {std::to_string(position), std::to_string(options_.batch), std::to_string(kLargestRecordBytes)},
                &out_.error);
            if (!rows) return false;
            if (rows->rows.empty()) return true;
            std::vector<history::Record> keep;
            for (const auto& row : rows->rows) {
                std::int64_t seq = 0;
                if (!row[0] || !ParseNumber(*row[0], seq) || seq <= position) {
                    out_.error = "the server gave its records out of order";
                    return false;
                }
                position = seq;
                history::Record r;
                const std::string refusal = RecordFrom(row, r);
                if (refusal.empty()) {
                    r.pulled = true;
                    keep.push_back(std::move(r));
                } else {
                    out_.refused.push_back("server record " + std::to_string(seq) + " (" + Printable(r.uid, 40) +
                                           ", laptop " + Printable(r.laptop) + ") not kept: " + refusal);
                }
            }
            at(SyncOptions::Point::PullFetched);
            if (!local_->addPulled(keep, position, &out_.pulled, &out_.error)) return false;
            at(SyncOptions::Point::PullKept);
            if (static_cast<int>(rows->rows.size()) < options_.batch) return true;
            if (!inTime()) return false;
        }
    }

    std::filesystem::path file_;
    const SyncOptions& options_;
    std::chrono::steady_clock::time_point start_;
    std::unique_ptr<LocalSide> local_;
    std::unique_ptr<ServerConnection> server_;
    SyncOutcome out_;
};

}  // namespace

SyncOutcome Sync(const std::filesystem::path& file, const SyncOptions& options, const std::string& now) {
    return Run(file, options).go(now);
}

}  // namespace gasecu::sync
