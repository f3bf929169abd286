#include "cli/Usage.h"

#include <array>

namespace velluma::cli {

namespace {

struct CommandText {
  Command command;
  const char* synopsis;
  const char* summary;
  const char* details;
};

const std::array<CommandText, 11> kCommandTexts = {{
    {Command::LutConvert, "lut-convert FILE [--format baselight|davinci]",
     "print the monitor LUT a LUT file loads as",
     "Loads FILE as the LookUpTable tab's Open does and prints the monitor's LUT: 4096 lines\n"
     "\"r,g,b\", red changing fastest (the direct table file format). A rejected file prints\n"
     "the loader's diagnosis line instead and ends with status 1. Without --format the\n"
     "\"LUTFile\" and \"LutFileType\" settings decide, as in the window (\"Baselight\" exactly\n"
     "is Baselight, any other type DaVinci Resolve); --format baselight|davinci reads a LUT\n"
     "file of that kind. Opens no device.\n"},
    {Command::Query, "query", "print the monitor's model",
     "Asks the monitor for its model (QID) and prints the answer. Status 0 only for\n"
     "\"QX-7MR520\", 1 for another model, 2 when the monitor does not answer.\n"},
    {Command::SendCalibration, "send-calibration FILE", "send a calibration data file",
     "Opens FILE on the Calibration tab, then PC -> MONITOR: the primaries and the grey ramp\n"
     "go into the monitor. Status 0 only on \"Complete.\", 1 when the file does not load\n"
     "(nothing is sent), 2 when the transfer fails.\n"},
    {Command::SendLut, "send-lut FILE --memory USER1|USER2|USER3 [--format baselight|davinci]",
     "send a LUT file into a user memory",
     "Opens FILE on the LookUpTable tab for the memory, then its Start button sends the LUT\n"
     "(at the \"MonitorSpeed\" line speed). The file is read as lut-convert reads it, --format\n"
     "included. Status 0 only on \"Complete.\", 1 when the file does not load (nothing is\n"
     "sent), 2 when the transfer fails.\n"},
    {Command::SendFilmGamma, "send-film-gamma FILE --memory USER1|USER2|USER3",
     "send a film-gamma table into a user memory",
     "Opens FILE on the Film Gamma tab for the memory, then its Start button sends the table.\n"
     "Status 0 only on \"Complete.\", 1 when the file does not load (nothing is sent), 2 when\n"
     "the transfer fails.\n"},
    {Command::ZeroCal, "zero-cal", "0-CAL.: prepare the instrument",
     "Runs 0-CAL. for the configured instrument and prints its messages. The i1-Pro asks to\n"
     "be set on its calibration plate: --yes or --no answers. Status 0 only on \"Complete.\".\n"},
    {Command::Measure, "measure R G B", "show a patch and measure it",
     "Shows the patch R G B (each 0..255) on the monitor and measures it through the analyzer\n"
     "front, remote mode around it; prints \"x y Y\" with the offsets added, as the \"Yxy Value\"\n"
     "group shows them. A CA-210/CA-310 is set up on first use; the i1-Pro is prepared as\n"
     "AUTO prepares it (0-CAL.'s calibration, then the monitor-measurement settings), which\n"
     "asks two questions: --yes or --no answers. The monitor's brightness (ZBL) is left as\n"
     "it is, and the patch stays on the screen.\n"},
    {Command::Auto, "auto --save FILE", "AUTO: measure, write into the monitor, save",
     "Runs AUTO from its first step to its last; the save dialog is answered by --save FILE.\n"
     "The report goes to standard output. Status 0 for a \"Complete.\" report, 1 when the\n"
     "monitor fails (an \"NG\" report, or the MaxBright box of a panel below 225 cd/m2), 2\n"
     "for an abort or an error (then an \"NG\" report after a failed measurement or transfer\n"
     "still ends with 2). With the i1-Pro, --yes or --no must be given.\n"},
    {Command::Verify, "verify [--report FILE.html] [--csv FILE.csv] [TARGET OPTION...]",
     "measure the calibrated monitor against its target",
     "Shows and measures white, black, the grey steps between them, and red, green, blue,\n"
     "cyan, magenta and yellow at full level, as AUTO measures its patches, and compares them\n"
     "with the target: CIEDE2000 per patch, the averages and maxima of the greys and of the\n"
     "colours, the gamma of each grey step, the white's colour temperature and the contrast.\n"
     "Nothing is written into the monitor. The summary table goes to standard output;\n"
     "--report writes it as one HTML file with its charts, --csv every patch. Interrupted\n"
     "(Ctrl+C), it stops after the patch being measured, prints what it measured and writes\n"
     "no file. Both files are checked before the first patch: a folder, a missing folder, a\n"
     "file that may not be written, a device, standard output or one file named twice is a\n"
     "usage error. Status 0 when every verdict passes, 1 when one fails, 2 for a file that\n"
     "could not be written or an error; an interrupted run ends as the signal ends it. With\n"
     "the i1-Pro, --yes or --no must be given.\n"
     "Target options (each replaces its setting for this run; the default in brackets):\n"
     "  --white D65|X,Y        the target white point [D65]\n"
     "  --curve 2.2|2.4|BT.1886  the tone curve; BT.1886 with the measured black [2.2]\n"
     "  --gamut Rec.709|DCI-P3  the target primaries [Rec.709]\n"
     "  --grey-steps N         grey steps from black to white, both included, 2..256 [21]\n"
     "  --grey-average DE      thresholds of the ΔE2000 average and maximum of the greys\n"
     "  --grey-maximum DE      [1.0, 2.0] and of the colours [3.0, 5.0]\n"
     "  --colour-average DE\n"
     "  --colour-maximum DE\n"},
    {Command::Correct,
     "correct --memory USER1|USER2|USER3 [--cube FILE.cube] [--report FILE.html] [--csv FILE.csv] "
     "[TARGET OPTION...] --yes",
     "make, send and verify a correction LUT for a user memory",
     "Corrects what the panel leaves, through one user memory: sends the memory a LUT and a\n"
     "film gamma that leave every colour as it is, asks for the memory to be selected on the\n"
     "monitor's front panel (select it, then --yes answers; --no refuses the correction),\n"
     "verifies the panel as it is (\"before\", the patches of verify), measures the patches\n"
     "the correction is made from, builds the 16 x 16 x 16 LUT that brings the panel to the\n"
     "target, sends it into the memory and verifies again (\"after\"). Prints both\n"
     "verifications as verify prints one, then their ΔE2000 side by side; a target colour the\n"
     "panel cannot show is named apart and left out of the colours' figures. --cube writes\n"
     "the LUT as a DaVinci Resolve .cube (which send-lut and grading software load), --report\n"
     "one HTML file with before and after, --csv every patch of both; they are checked before\n"
     "any device is opened, as verify checks its files, and written only for a finished run.\n"
     "Interrupted (Ctrl+C), it stops after the patch or the table in flight: the memory always\n"
     "holds whole tables, and the last line says which. Status 0 when the correction is in\n"
     "the memory and verified, 1 when refused, 2 for a stop, a file that could not be written\n"
     "or an error. The target options are verify's.\n"},
    {Command::History, "history [--since DATE] [--kind KIND] [--monitor MODEL|PORT] [--json]",
     "print the runs the history keeps",
     "Prints the runs of the procedures that talked to the monitor, newest first: a table, or\n"
     "one JSON object a line with --json (every field and figure). The history is\n"
     "$VELLUMA_HISTORY (a file, or a postgresql:// server shared by a facility's stations),\n"
     "else history.db in the operator's data folder (~/.local/share/Quillem/Velluma). Status\n"
     "0, or 2 when the history cannot be read. Opens no device.\n"
     "\n"
     "  --since DATE           runs from DATE on: YYYY-MM-DD (UTC) or YYYY-MM-DDTHH:MM:SSZ\n"
     "  --kind KIND            auto, verify, correct, zero-cal, send-calibration, send-lut\n"
     "                         or send-film-gamma\n"
     "  --monitor TEXT         runs on the monitor of that model or on that port\n"
     "  --json                 JSON lines instead of the table\n"},
}};

constexpr const char* kSharedOptions =
    "Options for every command; the settings they replace hold for this run only and are\n"
    "never written into a settings file:\n"
    "  --monitor-port PORT    \"MonitorPort\": COM1..COM9, USB (through the ports directory) or\n"
    "                         a device path\n"
    "  --monitor-type TEXT    \"MonitorType\": RS-232C; any other text is the addressed link\n"
    "  --monitor-speed N      \"MonitorSpeed\": 9600, 19200, 38400, 57600 or 115200\n"
    "  --analyzer MODEL       \"AnalizerModel\": CA-210, CA-310, i1-Pro, PR-655 or NoConnect\n"
    "  --analyzer-port PORT   \"AnalizerPort\": a port name or a device path\n"
    "  --offset-x V           the analyzer offsets x and y, -0.0999..0.0999, checked as the\n"
    "  --offset-y V           offset edits check them; none when not given\n"
    "  --settings FILE        read the settings from FILE (only read) instead of the\n"
    "                         operator's own\n"
    "  --yes, --no            the answer to every question the procedure asks\n"
    "  --help, -h             this help\n";

constexpr const char* kExitStatuses =
    "Exit status: 0 done (\"Complete.\"); 1 the file or the monitor was refused (a rejected\n"
    "file, another model, an \"NG\" AUTO, a failed verification); 2 a usage error, an abort\n"
    "or a device error.\n";

constexpr const char* kEnvironment =
    "Environment: VELLUMA_SETTINGS (the settings file), VELLUMA_PORTS (the ports directory),\n"
    "VELLUMA_CA_SERVER, VELLUMA_EYEONE, VELLUMA_BENCH_SOCKET, and VELLUMA_CLOCK_SCALE: a\n"
    "factor for every protocol pause and time-out (0.02 against the virtual bench); without\n"
    "it they last their real length, as real devices need. VELLUMA_HISTORY: where every run\n"
    "is recorded (a file or a postgresql:// server; none keeps no history).\n";

const CommandText& TextOf(Command command) {
  for (const CommandText& text : kCommandTexts)
    if (text.command == command) return text;
  return kCommandTexts.front();
}

}  // namespace

std::string UsageSynopsis(std::optional<Command> command) {
  if (command)
    return std::string("Usage: velluma-cli ") + TextOf(*command).synopsis + " [OPTION...]\n";
  std::string text = "Usage: velluma-cli COMMAND [ARGUMENT...] [OPTION...]\n";
  for (const CommandText& entry : kCommandTexts)
    text += std::string("       velluma-cli ") + entry.synopsis + "\n";
  return text;
}

std::string GeneralHelp() {
  std::string text = UsageSynopsis(std::nullopt);
  text += "\nRuns the QX-7MR520 station's own procedures without the window.\n\nCommands:\n";
  for (const CommandText& entry : kCommandTexts) {
    std::string name(CommandName(entry.command));
    name.resize(18, ' ');
    text += "  " + name + entry.summary + "\n";
  }
  text += std::string("\n") + kSharedOptions + "\n" + kExitStatuses + "\n" + kEnvironment;
  text += "\n'velluma-cli COMMAND --help' tells more of each command.\n";
  return text;
}

std::string CommandHelp(Command command) {
  return UsageSynopsis(command) + "\n" + TextOf(command).details + "\n" + kSharedOptions + "\n" +
         kExitStatuses + "\n" + kEnvironment;
}

void PrintUsageError(std::ostream& err, const UsageError& error) {
  err << "velluma-cli: " << error.what() << "\n" << UsageSynopsis(error.CommandConcerned());
  err << "Try 'velluma-cli "
      << (error.CommandConcerned() ? std::string(CommandName(*error.CommandConcerned())) + " " : "")
      << "--help' for more information.\n";
}

}  // namespace velluma::cli
