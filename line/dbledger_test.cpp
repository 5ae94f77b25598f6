#include "line/dbledger.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace core {
namespace {

TEST(ConnectionString, ParsedAndShownWithoutThePassword) {
    struct Case {
        const char* text;
        ConnectionFault fault;
        const char* masked;
    } cases[] = {
        {"DSN=line", ConnectionFault::None, "DSN=line"},
        {"Driver={PostgreSQL Unicode};Server=db1;Database=line;Uid=tolka;Pwd=s3cret", ConnectionFault::None,
         "Driver={PostgreSQL Unicode};Server=db1;Database=line;Uid=tolka;Pwd=***"},
        {" driver = {a;b}}c} ; PASSWORD={x;y} ;", ConnectionFault::None, " driver = {a;b}}c} ; PASSWORD=***;"},
        {"DSN=line;;Pwd=", ConnectionFault::None, "DSN=line;;Pwd=***"},
        {"Pwd = {a;b} ;DSN=line;pwd=x", ConnectionFault::None, "Pwd =***;DSN=line;pwd=***"},
        {"", ConnectionFault::Empty, ""},
        {" ; ", ConnectionFault::Empty, ""},
        {"Server=db1;Database=line", ConnectionFault::NoTarget, ""},
        {"DSN=line;Uid", ConnectionFault::NoEquals, ""},
        {"=x;DSN=line", ConnectionFault::NoEquals, ""},
        {"Driver={PostgreSQL", ConnectionFault::OpenBrace, ""},
        {"Driver={a}b;DSN=x", ConnectionFault::TextAfterBrace, ""},
    };
    for (const Case& c : cases) {
        ConnectionString parsed;
        EXPECT_EQ(ParseConnectionString(c.text, parsed), c.fault) << c.text;
        if (c.fault == ConnectionFault::None) {
            EXPECT_EQ(MaskedConnectionString(parsed), c.masked) << c.text;
        }
    }
}

// A database server in memory that knows the ledger's statements: committed rows, the rows
// of the open transaction, unique keys, and failures injected at a named call.
class FakeServer : public DbLink {
public:
    struct Fault {
        std::string call;  // "CONNECT", "COMMIT" or the start of a statement
        DbStatus status;
        bool afterApplying = false;  // the call takes effect, then reports the failure
        int times = 1;
    };

    DbStatus Connect(const std::string&, unsigned) override {
        ++connects;
        connected = !Fire("CONNECT");
        if (!connected)
            clock += connectFailureMs;
        return connected ? DbStatus() : fired;
    }

    DbStatus Execute(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows) override {
        if (!connected)
            return DbStatus::Failed("08003", "not connected");
        if (Fire(sql))
            return fired;
        if (sql.rfind("CREATE TABLE", 0) == 0 && tables)
            return DbStatus::Failed("42P07", "relation \"tolka_ledger\" already exists");
        if (sql.rfind("SELECT", 0) == 0 && readDenied)
            return *readDenied;
        if (sql.rfind("CREATE TABLE tolka_ledger (", 0) == 0)
            pendingTables = true;
        else if (sql.rfind("INSERT INTO tolka_ledger_version", 0) == 0 ||
                 sql.rfind("UPDATE tolka_ledger_version", 0) == 0)
            pendingLayout = static_cast<int>(std::get<int64_t>(params[0]));
        else if (sql.rfind("ALTER TABLE tolka_ledger ADD ", 0) == 0)
            ++pendingAlters;
        else if (sql.rfind("SELECT time", 0) == 0)
            ReadRows(sql, *rows);
        else if (sql.rfind("SELECT version", 0) == 0 && !tables)
            return DbStatus::Failed("42P01", "relation does not exist");
        else if (sql.rfind("SELECT version", 0) == 0)
            rows->push_back({std::to_string(layout)});
        else if (sql.rfind("SELECT MAX", 0) == 0)
            rows->push_back({Highest()});
        else if (sql.rfind("SELECT number", 0) == 0)
            FindReservation(std::get<std::string>(params[0]), std::get<std::string>(params[1]), *rows);
        else if (sql.rfind("INSERT INTO tolka_ledger (", 0) == 0)
            return Insert({std::get<std::string>(params[0]), std::get<std::string>(params[3]),
                           std::get<int64_t>(params[4]), params});
        return DbStatus();
    }

    DbStatus EndTransaction(bool commit) override {
        if (!connected)
            return DbStatus::Failed("08003", "not connected");
        const bool fails = commit && Fire("COMMIT");
        if ((commit && !fails) || (fails && lastFault.afterApplying)) {
            committed.insert(committed.end(), pending.begin(), pending.end());
            tables = tables || pendingTables;
            layout = pendingLayout.value_or(layout);
            alters += pendingAlters;
        }
        pending.clear();
        pendingTables = false;
        pendingLayout.reset();
        pendingAlters = 0;
        return fails ? fired : DbStatus();
    }

    void Disconnect() override {
        pending.clear();
        connected = false;
    }
    void Pause(unsigned ms) override { clock += ms; }
    uint64_t NowMs() override { return clock; }

    struct Row {
        std::string reservation, status;
        int64_t number;
        std::vector<DbValue> params{};  // as inserted
    };

    std::vector<Fault> faults;
    std::vector<Row> committed, pending;
    bool tables = true;
    bool pendingTables = false;
    int layout = 1;
    int alters = 0;                      // columns added
    std::optional<DbStatus> readDenied;  // every SELECT fails so; the tables are there
    bool connected = false;
    int connects = 0;
    uint64_t clock = 0;
    uint64_t connectFailureMs = 0;  // how long a failing connection attempt takes

private:
    bool Fire(const std::string& call) {
        for (Fault& f : faults) {
            if (f.times > 0 && call.rfind(f.call, 0) == 0) {
                --f.times;
                fired = f.status;
                lastFault = f;
                if (f.status.state.rfind("08", 0) == 0)
                    connected = false;
                return true;
            }
        }
        return false;
    }

    std::string Highest() const {
        int64_t highest = -1;
        for (const auto* rows : {&committed, &pending}) {
            for (const Row& r : *rows) {
                if (r.status == "reserved")
                    highest = std::max(highest, r.number);
            }
        }
        return highest < 0 ? "" : std::to_string(highest);
    }

    void FindReservation(const std::string& id, const std::string& status, DbRows& rows) const {
        for (const Row& r : committed) {
            if (r.reservation == id && r.status == status)
                rows.push_back({std::to_string(r.number)});
        }
    }

    DbStatus Insert(const Row& row) {
        for (const auto* rows : {&committed, &pending}) {
            for (const Row& r : *rows) {
                if (r.status == row.status && (r.number == row.number || r.reservation == row.reservation))
                    return DbStatus::Failed("23505", "duplicate key value");
            }
        }
        pending.push_back(row);
        return DbStatus();
    }

    // The inserted values of the SELECT's columns (the host's left out), NULLIF(?, -1) as the server does.
    void ReadRows(const std::string& sql, DbRows& rows) const {
        for (const Row& r : committed) {
            rows.emplace_back();
            for (size_t i = 1; i <= (sql.find("operator_id") == std::string::npos ? 9 : 16); i += i == 9 ? 2 : 1) {
                const auto* n = i < r.params.size() ? std::get_if<int64_t>(&r.params[i]) : nullptr;
                rows.back().push_back(i >= r.params.size() ? ""
                                      : n                  ? (*n < 0 ? "" : std::to_string(*n))
                                                           : std::get<std::string>(r.params[i]));
            }
        }
    }

    DbStatus fired;
    Fault lastFault;
    std::optional<int> pendingLayout;
    int pendingAlters = 0;
};

LedgerEntry Line() {
    LedgerEntry line;
    line.time = "2024-05-01T09:30:00+09:00";
    line.uuid = "3aa4096d-2cc0-46dd-878a-88511d75ac78";
    line.interfaceType = "0x80000000";
    return line;
}

const DbStatus kLost = DbStatus::Failed("08S01", "server closed the connection unexpectedly");
const DbStatus kRefused = DbStatus::Failed("08001", "connection refused");
const DbStatus kTimeOut = DbStatus::Failed("HYT00", "no answer within 5 s");

TEST(DbLedger, ReservationsAfterAFailedCommitDependOnWhatTheServerKept) {
    struct Case {
        const char* what;
        std::vector<FakeServer::Fault> faults;
        DbOutcome outcome;
        size_t reservedRows;
        int connects;
    } cases[] = {
        {"healthy", {}, DbOutcome::Done, 1, 0},
        {"committed, reply lost", {{"COMMIT", kLost, true}}, DbOutcome::Done, 1, 1},
        {"not committed", {{"COMMIT", kLost, false}}, DbOutcome::Done, 1, 1},
        {"commit refused without losing the connection",
         {{"COMMIT", DbStatus::Failed("40001", "abort"), false}},
         DbOutcome::Done,
         1,
         1},
        {"lost before the insert", {{"SELECT MAX", kLost}}, DbOutcome::Done, 1, 1},
        {"lost on the insert", {{"INSERT INTO tolka_ledger (", kLost}}, DbOutcome::Done, 1, 1},
        {"server restarting", {{"SELECT MAX", kLost}, {"CONNECT", kRefused, false, 3}}, DbOutcome::Done, 1, 4},
        // Reached again for as long as the time-out (5 s, every 0.5 s), then given up.
        {"server gone after the commit",
         {{"COMMIT", kLost, true}, {"CONNECT", kRefused, false, 1000}},
         DbOutcome::Unusable,
         1,
         10},
        {"server gone before the insert",
         {{"SELECT MAX", kLost}, {"CONNECT", kRefused, false, 1000}},
         DbOutcome::Unusable,
         0,
         10},
        // Waiting again for a held lock or a frozen server would only double the wait.
        {"lock held past the time-out",
         {{"SELECT MAX", DbStatus::Failed("57014", "statement timeout")}},
         DbOutcome::Unusable,
         0,
         0},
        {"frozen server",
         {{"COMMIT", DbStatus::Failed("HYT00", "no answer")}, {"CONNECT", kTimeOut, false, 1000}},
         DbOutcome::Unusable,
         0,
         1},
    };
    for (const Case& c : cases) {
        FakeServer server;
        DbLedger ledger(server, "DSN=line", 5, "pc1");
        ASSERT_EQ(ledger.Open().outcome, DbOutcome::Done) << c.what;
        server.faults = c.faults;
        server.connects = 0;
        DbResult r = ledger.Reserve(Line(), 1000, Station{}, "id-1");
        EXPECT_EQ(r.outcome, c.outcome) << c.what;
        EXPECT_EQ(server.committed.size(), c.reservedRows) << c.what;
        EXPECT_EQ(server.connects, c.connects) << c.what;
        if (c.outcome == DbOutcome::Done) {
            EXPECT_EQ(r.number, 1000u) << c.what;
        } else {
            EXPECT_EQ(r.status.state, c.faults.back().status.state) << c.what;
        }
    }
}

TEST(DbLedger, ReconnectingEndsWithTheTimeOutHoweverLongEachAttemptTakes) {
    for (uint64_t attemptMs : {0u, 1200u, 4000u, 9000u}) {
        FakeServer frozen;
        frozen.faults = {{"CONNECT", DbStatus::Failed("08001", "timeout expired"), false, 1000}};
        frozen.connectFailureMs = attemptMs;
        DbLedger ledger(frozen, "DSN=line", 5, "pc1");
        EXPECT_EQ(ledger.Open().outcome, DbOutcome::Unusable);
        EXPECT_LT(frozen.clock, 5000 + attemptMs) << attemptMs;
    }
}

TEST(DbLedger, StationsRacingForOneNumberGetDistinctOnes) {
    FakeServer server;
    DbLedger a(server, "DSN=line", 5, "pc1");
    ASSERT_EQ(a.Open().outcome, DbOutcome::Done);
    // Another station takes 1000 and 1001 between this one's look at the highest and its insert.
    server.faults = {{"INSERT INTO tolka_ledger (", DbStatus::Failed("23505", "duplicate"), false, 2}};
    DbResult r = a.Reserve(Line(), 1000, Station{}, "id-1");
    ASSERT_EQ(r.outcome, DbOutcome::Done);
    EXPECT_EQ(server.connects, 1);  // a lost race is no lost connection
    server.committed.push_back({"other", "reserved", 1001});
    std::set<int64_t> numbers{r.number, a.Reserve(Line(), 1000, Station{2, 3}, "id-2").number};
    EXPECT_EQ(numbers, (std::set<int64_t>{1000, 1004}));  // 1004 mod 3 = 2
}

// A line of boards keeps the connection it opened; a connection lost between boards (a server
// restarted while the line waited) or a commit whose reply was lost costs a new connection,
// and the reservation id decides what the server kept.
TEST(DbLedger, ALineOfBoardsKeepsOneConnectionUntilItIsLost) {
    struct Board {
        const char* what;
        std::vector<FakeServer::Fault> reserveFaults, recordFaults;
        int connects;  // since the ledger was opened
    } boards[] = {
        {"first board", {}, {}, 1},
        {"second board", {}, {}, 1},
        {"server restarted", {{"SELECT MAX", kLost}, {"CONNECT", kRefused, false, 2}}, {}, 4},
        {"after the restart", {}, {}, 4},
        {"reservation committed, reply lost", {{"COMMIT", kLost, true}}, {}, 5},
        {"reservation not committed", {{"COMMIT", kLost, false}}, {}, 6},
        {"outcome committed, reply lost", {}, {{"COMMIT", kLost, true}}, 7},
        {"lost before the outcome", {}, {{"INSERT INTO tolka_ledger (", kLost}}, 8},
        {"last board", {}, {}, 8},
    };
    FakeServer server;
    DbLedger ledger(server, "DSN=line", 5, "pc1");
    ASSERT_EQ(ledger.Open().outcome, DbOutcome::Done);
    uint32_t expected = 1000;
    for (const Board& b : boards) {
        const std::string id = std::string("id-") + b.what;
        server.faults = b.reserveFaults;
        LedgerEntry line = Line();
        DbResult reserved = ledger.Reserve(line, 1000, Station{}, id);
        ASSERT_EQ(reserved.outcome, DbOutcome::Done) << b.what;
        EXPECT_EQ(reserved.number, expected++) << b.what;
        server.faults = b.recordFaults;
        line.number = reserved.number;
        line.status = LedgerStatus::Ok;
        EXPECT_EQ(ledger.Record(line, id).outcome, DbOutcome::Done) << b.what;
        EXPECT_EQ(server.connects, b.connects) << b.what;
    }
    // Each reservation and each outcome once, whatever the replies said.
    std::set<std::pair<std::string, std::string>> rows;
    for (const FakeServer::Row& r : server.committed)
        EXPECT_TRUE(rows.insert({r.reservation, r.status}).second) << r.reservation << " " << r.status;
    EXPECT_EQ(rows.size(), 2 * std::size(boards));
}

TEST(DbLedger, OutcomeRecordedOnceWhateverTheCommitSaid) {
    for (bool committed : {true, false}) {
        FakeServer server;
        DbLedger ledger(server, "DSN=line", 5, "pc1");
        ASSERT_EQ(ledger.Open().outcome, DbOutcome::Done);
        LedgerEntry line = Line();
        line.number = ledger.Reserve(line, 7, Station{}, "id-1").number;
        line.status = LedgerStatus::Ok;
        server.faults = {{"COMMIT", kLost, committed}};
        EXPECT_EQ(ledger.Record(line, "id-1").outcome, DbOutcome::Done) << committed;
        ASSERT_EQ(server.committed.size(), 2u) << committed;
        EXPECT_EQ(server.committed[1].status, "ok");
    }
}

TEST(DbLedger, TablesAreMadeOnceAndAnotherLayoutIsRefused) {
    FakeServer fresh;
    fresh.tables = false;
    EXPECT_EQ(DbLedger(fresh, "DSN=line", 5, "pc1").Open().outcome, DbOutcome::Done);
    EXPECT_TRUE(fresh.tables);

    FakeServer restarting;
    restarting.tables = false;
    restarting.faults = {{"SELECT version", kLost}, {"CREATE TABLE", kLost}};
    EXPECT_EQ(DbLedger(restarting, "DSN=line", 5, "pc1").Open().outcome, DbOutcome::Done);
    EXPECT_EQ(restarting.connects, 3);
    EXPECT_TRUE(restarting.tables);

    FakeServer later;
    later.layout = 3;
    EXPECT_EQ(DbLedger(later, "DSN=line", 5, "pc1").Open().outcome, DbOutcome::OtherLayout);

    FakeServer denied;
    denied.tables = false;
    denied.faults = {{"CREATE TABLE", DbStatus::Failed("42501", "permission denied for schema public")}};
    DbResult r = DbLedger(denied, "DSN=line", 5, "pc1").Open();
    EXPECT_EQ(r.outcome, DbOutcome::Unusable);
    EXPECT_EQ(r.status.text, "permission denied for schema public");

    // Tables it may not read: told so, on the server's first word or by the table that is there.
    for (const char* state : {"42501", "HY000"}) {
        FakeServer unreadable;
        unreadable.readDenied = DbStatus::Failed(state, "permission denied for table tolka_ledger_version");
        r = DbLedger(unreadable, "DSN=line", 5, "pc1").Open();
        EXPECT_EQ(r.outcome, DbOutcome::NoReadRights) << state;
        EXPECT_EQ(r.status.text, "permission denied for table tolka_ledger_version") << state;
    }
}

// Fields of layout 2 go in and come back only where the table has their columns; a table of
// layout 1 is used as it is until it is upgraded, and an upgrade that fails leaves it so.
TEST(DbLedger, TheTablesLayoutDecidesWhatALineCarries) {
    const DbStatus kNoAlter = DbStatus::Failed("42501", "must be owner of table tolka_ledger");
    struct Case {
        const char* what;
        bool tables, upgrade;
        int layout;
        std::vector<FakeServer::Fault> faults;
        int layoutAfter, alters;
    } cases[] = {
        {"new tables", false, false, 1, {}, 2, 0},
        {"layout 1 as it is", true, false, 1, {}, 1, 0},
        {"layout 1 upgraded", true, true, 1, {}, 2, 6},
        {"layout 2 needs no upgrade", true, true, 2, {}, 2, 0},
        {"no right to alter", true, true, 1, {{"ALTER TABLE tolka_ledger ADD cause", kNoAlter}}, 1, 0},
    };
    for (const Case& c : cases) {
        FakeServer server;
        server.tables = c.tables;
        server.layout = c.layout;
        DbLedger ledger(server, "DSN=line", 5, "pc1");
        ASSERT_EQ(ledger.Open().outcome, DbOutcome::Done) << c.what;
        server.faults = c.faults;
        if (c.upgrade) {
            EXPECT_EQ(ledger.Upgrade().outcome, c.faults.empty() ? DbOutcome::Done : DbOutcome::Unusable) << c.what;
            ASSERT_EQ(ledger.Open().outcome, DbOutcome::Done) << c.what;
        }
        EXPECT_EQ(std::make_tuple(ledger.Layout(), server.layout, server.alters),
                  std::make_tuple(c.layoutAfter, c.layoutAfter, c.alters))
            << c.what;
        LedgerEntry line = Line();
        line.operatorId = "op 7";
        line.durationMs = 1200;
        ASSERT_EQ(ledger.Reserve(line, 5, Station{}, "id-1").outcome, DbOutcome::Done) << c.what;
        std::vector<LedgerEntry> read;
        ASSERT_EQ(ledger.ReadAll(read).outcome, DbOutcome::Done) << c.what;
        ASSERT_EQ(read.size(), 1u) << c.what;
        EXPECT_EQ(read[0].interfaceType + " " + read[0].operatorId + " " +
                      std::to_string(read[0].durationMs.value_or(0)) + (read[0].replaces ? " replaces" : ""),
                  c.layoutAfter == 2 ? "0x80000000 op 7 1200" : "0x80000000  0")
            << c.what;
    }
}

}  // namespace
}  // namespace core
