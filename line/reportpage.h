// The production report as one HTML page that needs nothing else: its style and its charts
// (inline SVG drawn here) are in the page, it loads no file and runs no script (its content
// policy forbids both), and it prints on A4. Texts are the catalogue's, in the user's
// language; every text from a ledger is escaped, so that a name is never markup.
// Portable: no <windows.h>.
#pragma once

#include <string>

#include "line/ledgersummary.h"
#include "core/texts.h"

namespace core {

struct ReportFacts {
    Lang lang = Lang::En;
    std::wstring ledger;   // as the messages name it (a database's without its password)
    std::string from, to;  // --from and --to as given; empty when not given
    std::string made;      // when the page was made
};

// The page, UTF-8.
std::string ReportPage(const LedgerFigures& figures, const ReportFacts& facts);

// UTF-8 text as HTML text or attribute value: & < > " ' as references, control characters and
// bytes that are no UTF-8 as U+FFFD, the bidirectional embeddings, overrides and isolates
// (U+202A-U+202E, U+2066-U+2069) as "<U+202E>", so that no text turns the page's text round.
std::string HtmlText(const std::string& text);

}  // namespace core
