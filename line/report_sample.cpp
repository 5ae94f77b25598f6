// Writes a production report's page for the browser test (report_browser_test.sh): two days
// of three stations with failures and gaps, operators, causes, reworks and a recipe change,
// under names that would be markup (or turn the text round) if they were not escaped.
//   report_page_sample OUT.html ja|en
#include <cstdio>
#include <string>

#include "line/ledgersummary.h"
#include "line/reportpage.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const char* const products[] = {"製品A", "<script>alert(1)</script>", "Tom & \"Jerry\" ]]> 'x'"};
    core::LedgerSummary summary({});
    uint32_t number = 1000;
    for (int hour = 0; hour < 30; ++hour) {
        for (int board = 0; board < 8 + hour % 5; ++board) {
            for (int station = 1; station <= 3; ++station, ++number) {
                core::LedgerEntry e;
                e.time = core::FormatIsoTime({2024, 5, 1 + hour / 24, hour % 24, board, 0, 540});
                e.station = station == 3 ? "<b>3</b>" : std::to_string(station) + "/2";
                e.product = products[number % 3];
                e.number = number;
                e.operatorId = station == 2 ? "op\xE2\x80\xAE<i>2</i>" : "op1";
                e.recipe = hour < 20 ? "0123456789abcdef" : "fedcba9876543210";
                e.interfaceType = station == 1 ? "0x80000000" : "0x40000000";
                e.replaces = number % 17 == 0 ? std::optional<uint32_t>(number - 17) : std::nullopt;
                summary.Add(e);
                e.status = number % 13 == 0 ? core::LedgerStatus::Failed : core::LedgerStatus::Ok;
                e.cause = number % 26 == 0 ? "verify" : number % 13 == 0 ? "no-answer" : "";
                if (number % 29 != 0)
                    summary.Add(e);
            }
        }
    }
    core::ReportFacts facts;
    facts.lang = std::string(argv[2]) == "ja" ? core::Lang::Ja : core::Lang::En;
    facts.ledger = L"odbc:DSN=<i>line</i>";
    facts.made = "2024-05-02T08:00:00+09:00";
    const std::string page = core::ReportPage(summary.Finish(), facts);
    FILE* out = std::fopen(argv[1], "wb");
    const bool written = out != nullptr && std::fwrite(page.data(), 1, page.size(), out) == page.size();
    return out != nullptr && std::fclose(out) == 0 && written ? 0 : 1;
}
