#include "line/odbclink.h"

#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <memory>

#include "core/digits.h"
#include "core/utf8.h"
#include "framework/syslib.h"

namespace core {

namespace {

// A call that the driver's own time-out should have ended is given this much longer.
constexpr unsigned kGraceSeconds = 2;
// What SQLGetData reads at a time; longer texts come in several pieces.
constexpr SQLLEN kPieceChars = 512;

// The functions of odbc32.dll the ledger calls.
struct OdbcApi {
    decltype(&SQLAllocHandle) allocHandle = nullptr;
    decltype(&SQLFreeHandle) freeHandle = nullptr;
    decltype(&SQLSetEnvAttr) setEnvAttr = nullptr;
    decltype(&SQLSetConnectAttrW) setConnectAttr = nullptr;
    decltype(&SQLDriverConnectW) driverConnect = nullptr;
    decltype(&SQLDisconnect) disconnect = nullptr;
    decltype(&SQLSetStmtAttrW) setStmtAttr = nullptr;
    decltype(&SQLBindParameter) bindParameter = nullptr;
    decltype(&SQLExecDirectW) execDirect = nullptr;
    decltype(&SQLNumResultCols) numResultCols = nullptr;
    decltype(&SQLFetch) fetch = nullptr;
    decltype(&SQLGetData) getData = nullptr;
    decltype(&SQLEndTran) endTran = nullptr;
    decltype(&SQLGetDiagRecW) getDiagRec = nullptr;
};

template <class Fn>
bool Get(HMODULE module, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return fn != nullptr;
}

bool LoadApi(OdbcApi& api) {
    HMODULE m = fw::LoadSystemLibrary(L"odbc32.dll");
    return m != nullptr && Get(m, "SQLAllocHandle", api.allocHandle) && Get(m, "SQLFreeHandle", api.freeHandle) &&
           Get(m, "SQLSetEnvAttr", api.setEnvAttr) && Get(m, "SQLSetConnectAttrW", api.setConnectAttr) &&
           Get(m, "SQLDriverConnectW", api.driverConnect) && Get(m, "SQLDisconnect", api.disconnect) &&
           Get(m, "SQLSetStmtAttrW", api.setStmtAttr) && Get(m, "SQLBindParameter", api.bindParameter) &&
           Get(m, "SQLExecDirectW", api.execDirect) && Get(m, "SQLNumResultCols", api.numResultCols) &&
           Get(m, "SQLFetch", api.fetch) && Get(m, "SQLGetData", api.getData) && Get(m, "SQLEndTran", api.endTran) &&
           Get(m, "SQLGetDiagRecW", api.getDiagRec);
}

std::wstring Wide(const std::string& utf8) {
    return core::FromUtf8(utf8);
}

// The first diagnostic record of the handle. Without one (a driver manager that cannot load
// its driver may give none), the failed call is named instead.
core::DbStatus Diagnostic(const OdbcApi& api, SQLSMALLINT type, SQLHANDLE handle, const char* call) {
    wchar_t state[6] = {};
    wchar_t text[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLRETURN rc =
        api.getDiagRec(type, handle, 1, reinterpret_cast<SQLWCHAR*>(state), &native, reinterpret_cast<SQLWCHAR*>(text),
                       static_cast<SQLSMALLINT>(std::size(text)), &length);
    if (SQL_SUCCEEDED(rc))
        return core::DbStatus::Failed(core::ToUtf8(state), core::ToUtf8(text));
    return core::DbStatus::Failed("", std::string(call) + " failed without a diagnostic from the ODBC driver manager");
}

// One connection's handles.
struct Handles {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
};

struct Worker;

// A call for the worker thread: a function object and what it captured, owned by the worker.
class Work {
public:
    virtual ~Work() = default;
    virtual core::DbStatus Run(Worker& w) = 0;
};

template <class Function>
class WorkOf : public Work {
public:
    explicit WorkOf(Function function) : function_(std::move(function)) {}
    core::DbStatus Run(Worker& w) override { return function_(w); }

private:
    Function function_;
};

// The thread that makes the ODBC calls, one at a time, while the caller waits for each at most
// its time-out: a thread of its own for each call cost about 1 ms under Wine, five times a
// board. Shared by the caller and the thread, whichever lets go last frees it. A call that
// never returns keeps its thread: the caller gives both up, and the next call gets a new one.
struct Worker {
    Worker()
        : ready(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          finished(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          quit(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Worker() {
        for (HANDLE event : {ready, finished, quit}) {
            if (event != nullptr)
                CloseHandle(event);
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool Usable() const { return ready != nullptr && finished != nullptr && quit != nullptr; }

    HANDLE ready;     // a call is waiting
    HANDLE finished;  // the call has ended
    HANDLE quit;      // the caller has given the thread up
    std::unique_ptr<Work> work;
    core::DbStatus status;
    core::DbRows rows;
    Handles handles;
};

DWORD WINAPI RunWorker(void* parameter) {
    std::unique_ptr<std::shared_ptr<Worker>> held(static_cast<std::shared_ptr<Worker>*>(parameter));
    Worker& w = **held;
    const HANDLE events[] = {w.quit, w.ready};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        w.status = w.work->Run(w);
        SetEvent(w.finished);
    }
    return 0;
}

core::DbStatus ConnectNow(const OdbcApi& api, const std::wstring& connection, unsigned timeout, Handles& h) {
    if (!SQL_SUCCEEDED(api.allocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h.env)))
        return core::DbStatus::Failed("", "SQLAllocHandle failed without a diagnostic from the ODBC driver manager");
    api.setEnvAttr(h.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(api.allocHandle(SQL_HANDLE_DBC, h.env, &h.dbc)))
        return Diagnostic(api, SQL_HANDLE_ENV, h.env, "SQLAllocHandle");
    const auto seconds = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout));
    api.setConnectAttr(h.dbc, SQL_ATTR_LOGIN_TIMEOUT, seconds, 0);
    api.setConnectAttr(h.dbc, SQL_ATTR_CONNECTION_TIMEOUT, seconds, 0);
    std::wstring text = connection;
    SQLRETURN rc = api.driverConnect(h.dbc, nullptr, reinterpret_cast<SQLWCHAR*>(&text[0]), SQL_NTS, nullptr, 0,
                                     nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc))
        return Diagnostic(api, SQL_HANDLE_DBC, h.dbc, "SQLDriverConnectW");
    rc = api.setConnectAttr(h.dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    if (!SQL_SUCCEEDED(rc)) {
        core::DbStatus status = Diagnostic(api, SQL_HANDLE_DBC, h.dbc, "SQLSetConnectAttrW");
        api.disconnect(h.dbc);
        return status;
    }
    return core::DbStatus();
}

void FreeHandles(const OdbcApi& api, Handles& h) {
    if (h.dbc != SQL_NULL_HDBC)
        api.freeHandle(SQL_HANDLE_DBC, h.dbc);
    if (h.env != SQL_NULL_HENV)
        api.freeHandle(SQL_HANDLE_ENV, h.env);
    h = Handles();
}

// The parameters bound to a statement, kept alive until it has run.
class Parameters {
public:
    explicit Parameters(const std::vector<core::DbValue>& values)
        : texts_(values.size()), numbers_(values.size()), lengths_(values.size()) {
        for (size_t i = 0; i < values.size(); ++i) {
            if (const std::string* text = std::get_if<std::string>(&values[i]))
                texts_[i] = Wide(*text);
            else
                numbers_[i] = std::get<int64_t>(values[i]);
            kinds_.push_back(std::holds_alternative<std::string>(values[i]) ? 1 : 0);
        }
    }

    SQLRETURN Bind(const OdbcApi& api, SQLHSTMT stmt) {
        for (size_t i = 0; i < kinds_.size(); ++i) {
            const auto n = static_cast<SQLUSMALLINT>(i + 1);
            SQLRETURN rc;
            if (kinds_[i]) {
                lengths_[i] = SQL_NTS;
                const SQLULEN chars = std::max<SQLULEN>(1, texts_[i].size());
                rc = api.bindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, chars, 0, &texts_[i][0],
                                       static_cast<SQLLEN>((texts_[i].size() + 1) * sizeof(wchar_t)), &lengths_[i]);
            } else {
                lengths_[i] = 0;
                rc = api.bindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &numbers_[i], 0,
                                       &lengths_[i]);
            }
            if (!SQL_SUCCEEDED(rc))
                return rc;
        }
        return SQL_SUCCESS;
    }

private:
    std::vector<std::wstring> texts_;
    std::vector<SQLBIGINT> numbers_;
    std::vector<SQLLEN> lengths_;
    std::vector<char> kinds_;  // true: text (not a bit vector: one of those costs its own code)
};

// One cell as text, read piece by piece; NULL as "".
SQLRETURN ReadCell(const OdbcApi& api, SQLHSTMT stmt, SQLUSMALLINT column, std::string& cell) {
    std::wstring text;
    for (;;) {
        wchar_t piece[kPieceChars + 1] = {};
        SQLLEN length = 0;
        SQLRETURN rc = api.getData(stmt, column, SQL_C_WCHAR, piece, sizeof piece, &length);
        if (rc == SQL_NO_DATA || (SQL_SUCCEEDED(rc) && length == SQL_NULL_DATA))
            break;
        if (!SQL_SUCCEEDED(rc))
            return rc;
        text += piece;
        if (rc == SQL_SUCCESS)
            break;
    }
    cell = core::ToUtf8(text);
    return SQL_SUCCESS;
}

core::DbStatus ReadRows(const OdbcApi& api, SQLHSTMT stmt, core::DbRows& rows) {
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(api.numResultCols(stmt, &columns)))
        return Diagnostic(api, SQL_HANDLE_STMT, stmt, "SQLNumResultCols");
    for (;;) {
        SQLRETURN rc = api.fetch(stmt);
        if (rc == SQL_NO_DATA)
            return core::DbStatus();
        if (!SQL_SUCCEEDED(rc))
            return Diagnostic(api, SQL_HANDLE_STMT, stmt, "SQLFetch");
        std::vector<std::string> row(static_cast<size_t>(columns));
        for (SQLSMALLINT c = 0; c < columns; ++c) {
            if (!SQL_SUCCEEDED(ReadCell(api, stmt, static_cast<SQLUSMALLINT>(c + 1), row[static_cast<size_t>(c)])))
                return Diagnostic(api, SQL_HANDLE_STMT, stmt, "SQLGetData");
        }
        rows.push_back(std::move(row));
    }
}

core::DbStatus ExecuteNow(const OdbcApi& api,
                          SQLHDBC dbc,
                          unsigned timeout,
                          const std::wstring& sql,
                          Parameters& params,
                          bool wantRows,
                          core::DbRows& rows) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(api.allocHandle(SQL_HANDLE_STMT, dbc, &stmt)))
        return Diagnostic(api, SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
    api.setStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout)), 0);
    core::DbStatus status;
    std::wstring text = sql;
    if (!SQL_SUCCEEDED(params.Bind(api, stmt))) {
        status = Diagnostic(api, SQL_HANDLE_STMT, stmt, "SQLBindParameter");
    } else {
        SQLRETURN rc = api.execDirect(stmt, reinterpret_cast<SQLWCHAR*>(&text[0]), SQL_NTS);
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            status = Diagnostic(api, SQL_HANDLE_STMT, stmt, "SQLExecDirectW");
        else if (wantRows)
            status = ReadRows(api, stmt, rows);
    }
    api.freeHandle(SQL_HANDLE_STMT, stmt);
    return status;
}

class OdbcLink : public core::DbLink {
public:
    OdbcLink() : loaded_(LoadApi(api_)) {}
    ~OdbcLink() override {
        Disconnect();
        GiveUpWorker();
    }

    core::DbStatus Connect(const std::string& connection, unsigned timeoutSeconds) override {
        Disconnect();
        if (!loaded_)
            return core::DbStatus::Failed("", "odbc32.dll cannot be loaded from the system folder");
        timeout_ = timeoutSeconds;
        const OdbcApi api = api_;
        const std::wstring text = Wide(connection);
        core::DbStatus status = Bounded([api, text, timeoutSeconds](Worker& w) {
            w.handles = Handles();
            core::DbStatus s = ConnectNow(api, text, timeoutSeconds, w.handles);
            if (!s.ok)
                FreeHandles(api, w.handles);
            return s;
        });
        if (status.ok)
            handles_ = worker_->handles;
        return status;
    }

    core::DbStatus Execute(const std::string& sql,
                           const std::vector<core::DbValue>& params,
                           core::DbRows* rows) override {
        if (handles_.dbc == SQL_NULL_HDBC)
            return NotConnected();
        const OdbcApi api = api_;
        const SQLHDBC dbc = handles_.dbc;
        const unsigned timeout = timeout_;
        const std::wstring text = Wide(sql);
        const bool wantRows = rows != nullptr;
        core::DbStatus status = Bounded([api, dbc, timeout, text, params, wantRows](Worker& w) {
            Parameters bound(params);
            w.rows.clear();
            return ExecuteNow(api, dbc, timeout, text, bound, wantRows, w.rows);
        });
        if (status.ok && rows != nullptr)
            *rows = std::move(worker_->rows);
        return status;
    }

    core::DbStatus EndTransaction(bool commit) override {
        if (handles_.dbc == SQL_NULL_HDBC)
            return NotConnected();
        const OdbcApi api = api_;
        const SQLHDBC dbc = handles_.dbc;
        return Bounded([api, dbc, commit](Worker&) {
            if (SQL_SUCCEEDED(api.endTran(SQL_HANDLE_DBC, dbc, commit ? SQL_COMMIT : SQL_ROLLBACK)))
                return core::DbStatus();
            return Diagnostic(api, SQL_HANDLE_DBC, dbc, "SQLEndTran");
        });
    }

    void Disconnect() override {
        if (handles_.dbc == SQL_NULL_HDBC)
            return;
        const OdbcApi api = api_;
        Handles handles = handles_;
        handles_ = Handles();
        Bounded([api, handles](Worker&) mutable {
            api.disconnect(handles.dbc);
            FreeHandles(api, handles);
            return core::DbStatus();
        });
    }

    void Pause(unsigned milliseconds) override { Sleep(milliseconds); }
    uint64_t NowMs() override { return GetTickCount64(); }

private:
    static core::DbStatus NotConnected() {
        return core::DbStatus::Failed("08003", "the connection to the database server was given up");
    }

    // Runs the work on the worker thread and waits for it at most the time-out and the grace.
    // The work may use only what it captured (by value: a call given up outlives the caller's
    // frame) and the worker.
    template <class Function>
    core::DbStatus Bounded(Function function) {
        return Bounded(std::unique_ptr<Work>(new WorkOf<Function>(std::move(function))));
    }

    core::DbStatus Bounded(std::unique_ptr<Work> work) {
        if (!worker_ && !StartWorker())
            return core::DbStatus::Failed("", "no thread could be started for the database call");
        worker_->work = std::move(work);
        SetEvent(worker_->ready);
        if (WaitForSingleObject(worker_->finished, (timeout_ + kGraceSeconds) * 1000) == WAIT_OBJECT_0)
            return worker_->status;
        // The call may never return: its connection and its thread are left to it.
        handles_ = Handles();
        GiveUpWorker();
        return core::DbStatus::Failed(
            "HYT00", "the database server did not answer within " + core::DecimalText(timeout_) + " s");
    }

    bool StartWorker() {
        auto worker = std::make_shared<Worker>();
        if (!worker->Usable())
            return false;
        auto shared = std::make_unique<std::shared_ptr<Worker>>(worker);
        HANDLE thread = CreateThread(nullptr, 0, RunWorker, shared.get(), 0, nullptr);
        if (thread == nullptr)
            return false;
        shared.release();  // the thread's now
        CloseHandle(thread);
        worker_ = std::move(worker);
        return true;
    }

    // The thread ends once its call, if any, has returned.
    void GiveUpWorker() {
        if (worker_)
            SetEvent(worker_->quit);
        worker_.reset();
    }

    OdbcApi api_;
    bool loaded_;
    Handles handles_;
    unsigned timeout_ = 5;
    std::shared_ptr<Worker> worker_;
};

}  // namespace

std::unique_ptr<core::DbLink> MakeOdbcLink() {
    return std::make_unique<OdbcLink>();
}

}  // namespace core
