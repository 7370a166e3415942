// velta-cli with --language de: its help, its reason lines and the service report in German, the
// controller's texts as the system's own German ones.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/cli_program.h"
#include "tests/support/files.h"

namespace velta {
namespace {

using test::CliProgram;

TEST_F(CliProgram, GermanHelpAndReasonLine) {
  const test::CliOutcome help = Call("--language de --help");
  ASSERT_EQ(help.code, 0) << help.err;
  for (const char* expected : {"Aufruf: velta-cli", "Optionen:", "Diese Hilfe anzeigen und beenden",
                               "Servicebericht der Steuerung (PDF oder HTML)"}) {
    EXPECT_NE(help.out.find(expected), std::string::npos) << expected << "\n" << help.out;
  }
  // Port 1 of the loopback address: nothing listens there.
  const test::CliOutcome refused = Call("--language de --tcp 127.0.0.1:1 status");
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err.substr(refused.err.find("Die Verbindung")),
            "Die Verbindung zur Steuerung konnte nicht geöffnet werden.\n"
            "Verbindung von 127.0.0.1:1 abgelehnt: an diesem Port lauscht nichts\n")
      << refused.err;
}

TEST_F(CliProgram, GermanReportHeadings) {
  Start({"--set", "error=0x0C"});
  const test::CliOutcome html = Call(Tcp() + " report --language de -o " + Path("bericht.html"));
  ASSERT_EQ(html.code, 0) << html.err;
  const std::string page = test::ReadFile(Path("bericht.html"));
  for (const char* expected :
       {"<h1>VELTA Servicebericht</h1>", "<h2>Anstehende Fehler</h2>", "<h2>Einstellungen</h2>",
        "<h2>Fehlerspeicher</h2>", "<th>Einstellung</th><th>Wert</th><th>Vorgabe</th>",
        "<li><b>Trockenlauf Pumpe! (Er.P)</b></li>"}) {
    EXPECT_NE(page.find(expected), std::string::npos) << expected;
  }
}

}  // namespace
}  // namespace velta
