// Connection, creation of velmoradb, column upgrades and recovery after a server restart.
#include "StoreDbTest.h"

#include "foundation/Messages.h"
#include "foundation/Program.h"

using namespace velmora;
using namespace velmora::test;

namespace {

class SchemaTest : public StoreDbTest {};

long long Scalar(ZUVOzedovUzivara& db, const std::string& sql) {
    return db.Query(sql)[0].GetInt("n", -1);
}

void CheckFullSchema(ZUVOzedovUzivara& db) {
    EXPECT_EQ(Scalar(db, "select count(*) as n from information_schema.tables where "
                         "table_schema='velmoradb'"),
              11);
    EXPECT_EQ(Scalar(db, "select count(distinct table_name, index_name) as n from "
                         "information_schema.statistics where table_schema='velmoradb' and "
                         "index_name<>'PRIMARY'"),
              15);
    const DbResult grid = db.Query("select * from scheduling");
    ASSERT_EQ(grid.size(), 24u);
    for (size_t h = 0; h < grid.size(); ++h) {
        EXPECT_EQ(grid[h].GetInt("schedule_time"), static_cast<long long>(h));
        for (const char* day : {"mon", "tue", "wed", "thu", "fri", "sat", "sun"}) {
            EXPECT_EQ(grid[h].Get(day), "yes");
        }
    }
    // No upgrade ran: the columns stand exactly in table order.
    std::vector<std::string> expected = ServiceRow::ColumnNames();
    EXPECT_EQ(db.ServiceColumns(), expected);
    // The zero-date and text defaults are in force.
    db.Execute("insert into service (service, ip, port) values (\"TCP\", \"h\", 1)");
    const DbRow r = db.Query("select * from service")[0];
    EXPECT_EQ(r.Get("last_access"), "0000-00-00 00:00:00");
    EXPECT_EQ(r.Get("service_status"), "Unknown");
    EXPECT_EQ(r.Get("schedule_by"), "Hourly");
    EXPECT_EQ(r.GetInt("buffer_size"), 8192);
    EXPECT_TRUE(r.IsNull("title"));
}

TEST_F(SchemaTest, EmptyServerGetsTheWholeDatabase) {
    ZUVOzedovUzivara db;
    ASSERT_TRUE(db.OpenAtStart());
    EXPECT_EQ(db.Params().database, "velmoradb");
    CheckFullSchema(db);
    // Only the first attempt (velmoradb missing) was reported.
    const std::string log = scope.LogText();
    EXPECT_EQ(CountLines(log, "ERR00101"), 1) << log;
    EXPECT_EQ(CountLines(log, "ERR0010"), 1) << log;

    // A second start finds everything and changes nothing.
    ZUVOzedovUzivara again;
    ASSERT_TRUE(again.OpenAtStart());
    CheckFullSchema(again);
}

TEST_F(SchemaTest, StrictServerModeStillCreatesZeroDateDefaults) {
    const std::string saved = admin.Query("select @@GLOBAL.sql_mode as m")[0].Get("m");
    admin.Execute("SET GLOBAL sql_mode='STRICT_ALL_TABLES,NO_ZERO_DATE,NO_ZERO_IN_DATE,"
                  "ANSI_QUOTES,NO_BACKSLASH_ESCAPES'");
    {
        ZUVOzedovUzivara db;
        const bool ok = db.OpenAtStart();
        admin.Execute("SET GLOBAL sql_mode='" + admin.Escape(saved) + "'");
        ASSERT_TRUE(ok);
        EXPECT_EQ(Scalar(db, "select count(*) as n from information_schema.tables where "
                             "table_schema='velmoradb'"),
                  11);
        // The session reads double quotes as strings and backslashes as escapes.
        const std::string tricky = "a\"b\\c'd";
        db.Execute("insert into contact_person (name) values (" + db.Quote(tricky) + ")");
        EXPECT_EQ(db.Query("select name from contact_person")[0].Get("name"), tricky);
    }
}

TEST_F(SchemaTest, TitleAndDescriptionUpgradeOnlyInTheConsole) {
    {
        ZUVOzedovUzivara db;
        CreateFresh(db);
        db.Execute("ALTER TABLE velmoradb.service DROP title");
        db.Execute("ALTER TABLE velmoradb.service DROP keep_on_sending");
        db.Execute("ALTER TABLE velmoradb.service ADD description VARCHAR(100)");
    }
    auto has = [](ZUVOzedovUzivara& db, const std::string& c) {
        const auto cols = db.ServiceColumns();
        return std::find(cols.begin(), cols.end(), c) != cols.end();
    };
    {
        Program().variant = ProgramVariant::Service;
        ZUVOzedovUzivara db;
        ASSERT_TRUE(db.OpenAtStart());
        EXPECT_FALSE(has(db, "title"));
        EXPECT_TRUE(has(db, "description"));
        EXPECT_TRUE(has(db, "keep_on_sending"));  // an upgrade of both programs
    }
    {
        Program().variant = ProgramVariant::Console;
        ZUVOzedovUzivara db;
        ASSERT_TRUE(db.OpenAtStart());
        EXPECT_TRUE(has(db, "title"));
        EXPECT_FALSE(has(db, "description"));
    }
}

TEST_F(SchemaTest, WrongPasswordGivesTwoConnectErrors) {
    InitSettings().DBPassword = "not-the-password";
    ZUVOzedovUzivara db;
    EXPECT_FALSE(db.OpenAtStart());
    EXPECT_FALSE(db.IsOpen());
    const std::string log = scope.LogText();
    EXPECT_EQ(CountLines(log, "[ERROR] ERR00101 : Connot make connection to MySQL database. : "
                              "Access denied for user 'root'"),
              2)
        << log;
}

TEST_F(SchemaTest, FailingCreationStatementReportsAndEndsTheProgram) {
    ZUVOzedovUzivara db;
    CreateFresh(db);
    try {
        db.ExecuteDdl("CREATE INDEX idx_service_ip ON service(ip(500));", "idx_service_ip",
                      ZUVOzedovUzivara::DdlIndex);
        FAIL() << "a failing creation statement must end the program";
    } catch (const ProgramEnded&) {
    }
    EXPECT_NE(scope.LogText().find("[ERROR] ERR00106 : Cannot create MySQL index [idx_service_ip].\r\n"),
              std::string::npos)
        << scope.LogText();
    EXPECT_FALSE(db.TableExists("no_such_table"));
    EXPECT_TRUE(db.TableExists("access_history"));
    EXPECT_FALSE(db.TableExists("ACCESS_HISTORY"));
}

TEST_F(SchemaTest, ErrorsCarryTheServerText) {
    ZUVOzedovUzivara db;
    CreateFresh(db);
    try {
        db.Execute("select * from no_such_table");
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("no_such_table"), std::string::npos) << e.what();
        EXPECT_EQ(e.code(), 1146u);
    }
    EXPECT_THROW(db.Query("select"), DatabaseError);
    EXPECT_THROW(db.Query("select 1 as a")[0].Get("b"), DatabaseError);
    ZUVOzedovUzivara closed;
    EXPECT_THROW(closed.Execute("select 1"), DatabaseError);
}

TEST_F(SchemaTest, ServerRestartIsSurvivedAndLoggedOnce) {
    ZUVOzedovUzivara db;
    CreateFresh(db);
    db.Execute("insert into service (service, ip, port) values (\"TCP\", \"a\", 1)");
    admin.Close();

    ServerCommand("restart");
    // The next statement reconnects and runs.
    db.Execute("insert into service (service, ip, port) values (\"TCP\", \"b\", 2)");
    EXPECT_EQ(db.Query("select count(*) as n from service")[0].GetInt("n"), 2);
    std::string log = scope.LogText();
    EXPECT_EQ(CountLines(log, "ERR00101"), 2) << log;  // one from the creation at start

    // A longer outage: every statement fails, one line is logged; then work goes on.
    ServerCommand("stop");
    EXPECT_THROW(db.Execute("select 1"), DatabaseError);
    EXPECT_THROW(db.Query("select 1"), DatabaseError);
    EXPECT_THROW(db.Query("select 1"), DatabaseError);
    ServerCommand("start");
    EXPECT_EQ(db.Query("select count(*) as n from service")[0].GetInt("n"), 2);
    log = scope.LogText();
    EXPECT_EQ(CountLines(log, "ERR00101"), 3) << log;
    admin.Open(TestServerParams());
}

} // namespace
