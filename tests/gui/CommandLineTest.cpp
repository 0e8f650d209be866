#include "app/CommandLine.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zenka::test {
namespace {

using ::testing::HasSubstr;
using Action = CommandLine::Action;

std::string contents(std::FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    return s;
}

struct Parsed {
    CommandLine line;
    std::string out, err;
};

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "zenka");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Parsed p{parseCommandLine(static_cast<int>(args.size()), argv.data(), out, err), {}, {}};
    p.out = contents(out);
    p.err = contents(err);
    std::fclose(out);
    std::fclose(err);
    return p;
}

TEST(CommandLine, HelpVersionAndMistakesEndBeforeTheGuiStarts) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        int exitCode;
        const char* out; // a part of what goes to stdout, "" for nothing
        const char* err;
    };
    const Case cases[] = {
        {{}, Action::Gui, 0, "", ""},
        {{"--help"}, Action::Exit, 0, "Usage: zenka [QT-OPTION]", ""},
        {{"-h"}, Action::Exit, 0, "--export-pdf --help", ""},
        {{"--version"}, Action::Exit, 0, "zenka " ZENKA_VERSION "\n", ""},
        {{"-platform", "offscreen", "--version"}, Action::Exit, 0, "zenka ", ""},
        // The export's own help, whichever comes first.
        {{"--export-pdf", "--help"}, Action::Exit, 0, "-o, --output OUT.pdf", ""},
        {{"-h", "--export-pdf", "p.in"}, Action::Exit, 0, "--paper letter|a4", ""},
        {{"--bogus"},
         Action::Exit,
         2,
         "",
         "zenka: unknown option '--bogus'\nUsage: zenka [QT-OPTION]... [PROJECT.in]\n"
         "       zenka --export-pdf PROJECT.in [-o OUT.pdf] [--paper letter|a4]\n"
         "       zenka --site-pdf DATA --template T.in [OPTION]...\nTry 'zenka --help'"},
        {{"-x"}, Action::Exit, 2, "", "unknown option '-x'"},
        {{"-platform"}, Action::Exit, 2, "", "'-platform' needs a value"},
        // Qt's options in their forms, the platform's service switches and a file name: the
        // program starts as ever, with an empty project.
        {{"-platform", "offscreen", "--style=fusion", "-reverse", "-geometry", "800x600"},
         Action::Gui,
         0,
         "",
         ""},
        {{"/Automation", "-Embedding", "project.in"}, Action::Gui, 0, "", ""},
        {{"--", "-not-an-option"}, Action::Gui, 0, "", ""},
        // The export's mistakes point at the export's help.
        {{"--export-pdf"},
         Action::Exit,
         2,
         "",
         "needs a file\nUsage: zenka --export-pdf PROJECT.in [-o OUT.pdf] [--paper "
         "letter|a4]\nTry 'zenka --export-pdf --help'"},
        {{"--export-pdf", "a.in", "--paper", "legal"}, Action::Exit, 2, "", "not 'legal'"},
        {{"--export-pdf", "a.in", "--export-pdf", "b.in"}, Action::Exit, 2, "", "one project"},
        {{"--export-pdf", "a.in", "-o", " "}, Action::Exit, 2, "", "a blank file name"},
        {{"--export-pdf", "a.in", "--bogus"}, Action::Exit, 2, "", "unknown argument '--bogus'"},
        // The site summary's, likewise.
        {{"--site-pdf", "--help"}, Action::Exit, 0, "--required Q", ""},
        {{"--help", "--site-pdf=d.ags"}, Action::Exit, 0, "--capacity KIND", ""},
        {{"--site-pdf", "d.ags"},
         Action::Exit,
         2,
         "",
         "zenka: --site-pdf needs --template\nUsage: zenka --site-pdf DATA --template T.in"},
        {{"--site-pdf", "d.ags", "--export-pdf", "p.in"}, Action::Exit, 2, "", "one at a time"},
        {{"--site-pdf", "d.ags", "--template"}, Action::Exit, 2, "", "'--template' needs a file"},
        {{"--site-pdf", "d.ags", "--template", "t.in", "--required", "-5"},
         Action::Exit,
         2,
         "",
         "'--required' needs a capacity greater than 0, not '-5'"},
        {{"--site-pdf", "d.ags", "--template", "t.in", "--required", "1e999"},
         Action::Exit,
         2,
         "",
         "not '1e999'"},
        {{"--site-pdf", "d.ags", "--template", "t.in", "--required", "9", "--capacity", "peak"},
         Action::Exit,
         2,
         "",
         "davisson, allowable or ultimate, not 'peak'"},
        {{"--site-pdf", "d.ags", "--template", "t.in", "--capacity", "ultimate"},
         Action::Exit,
         2,
         "",
         "'--capacity' goes with --required"},
        {{"--site-pdf", "d.ags", "--template", "t.in", "--n-factor", "0"},
         Action::Exit,
         2,
         "",
         "greater than 0 and at most 10, not '0'"},
        {{"--site-pdf", "d.ags", "--template", "t.in", "--borehole", " "},
         Action::Exit,
         2,
         "",
         "'--borehole' has an empty name"},
        {{"--site-pdf", "d.ags", "--site-pdf", "e.ags", "--template", "t.in"},
         Action::Exit,
         2,
         "",
         "one data file"},
    };
    for (const Case& c : cases) {
        std::string trace;
        for (const std::string& a : c.args) trace += a + " ";
        SCOPED_TRACE(trace);
        const Parsed p = parse(c.args);
        EXPECT_EQ(p.line.action, c.action);
        EXPECT_EQ(p.line.exitCode, c.exitCode);
        if (*c.out)
            EXPECT_THAT(p.out, HasSubstr(c.out));
        else
            EXPECT_EQ(p.out, "");
        if (*c.err)
            EXPECT_THAT(p.err, HasSubstr(c.err));
        else
            EXPECT_EQ(p.err, "");
    }
}

TEST(CommandLine, TheExportsOptionsAreKept) {
    const Parsed p = parse({"--export-pdf=job 1.in", "--output", "out.pdf", "--paper=A4"});
    ASSERT_EQ(p.line.action, Action::ExportPdf) << p.err;
    EXPECT_EQ(p.line.input, "job 1.in");
    EXPECT_EQ(p.line.output, "out.pdf");
    EXPECT_EQ(p.line.paper, "a4");
    const Parsed q = parse({"-o", "x.pdf", "--export-pdf", "y.in"});
    ASSERT_EQ(q.line.action, Action::ExportPdf) << q.err;
    EXPECT_EQ(q.line.input, "y.in");
    EXPECT_EQ(q.line.paper, "");
}

TEST(CommandLine, TheSiteSummarysOptionsAreKept) {
    const Parsed p =
        parse({"--site-pdf=bridge site.xml", "--template", "t.in", "--soil-map=m.csv", "--borehole",
               "B-1", "--borehole=B-7", "--n-factor", "1.25", "--required", "150",
               "--capacity=Davisson", "-o", "s.pdf", "--paper", "Letter"});
    ASSERT_EQ(p.line.action, Action::SitePdf) << p.err;
    EXPECT_EQ(p.line.input, "bridge site.xml");
    EXPECT_EQ(p.line.templateFile, "t.in");
    EXPECT_EQ(p.line.soilMap, "m.csv");
    EXPECT_EQ(p.line.boreholes, (std::vector<std::string>{"B-1", "B-7"}));
    EXPECT_EQ(p.line.nFactor, 1.25);
    EXPECT_EQ(p.line.required, 150);
    EXPECT_EQ(p.line.capacity, "davisson");
    EXPECT_EQ(p.line.output, "s.pdf");
    EXPECT_EQ(p.line.paper, "letter");
    // Without --required: no Q, the default kind.
    const Parsed q = parse({"--template", "t.in", "--site-pdf", "d.ags"});
    ASSERT_EQ(q.line.action, Action::SitePdf) << q.err;
    EXPECT_FALSE(q.line.required);
    EXPECT_EQ(q.line.capacity, "allowable");
    EXPECT_EQ(q.line.nFactor, 1.0);
}

TEST(CommandLine, NamesThatAreNoOptionAreProjects) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"bridge.in"}, {"bridge.in"}},
        {{"-platform", "offscreen", "a b.in", "/Automation", "c.in"}, {"a b.in", "c.in"}},
        {{"-geometry", "800x600", "--style=fusion"}, {}},
        {{"a.in", "--", "-dash.in", "--"}, {"a.in", "-dash.in", "--"}},
    };
    for (const auto& [args, projects] : cases) {
        const Parsed p = parse(args);
        ASSERT_EQ(p.line.action, Action::Gui) << p.err;
        EXPECT_EQ(p.line.projects, projects) << args.front();
    }
}

// The program itself, with no display to connect to: nothing may need one.
TEST(CommandLine, TheProgramAnswersWithoutADisplay) {
    struct Case {
        const char* args;
        int status;
        const char* out;
    };
    const Case cases[] = {
        {"--help", 0, "Usage: zenka"},
        {"-h", 0, "Usage: zenka"},
        {"--version", 0, "zenka " ZENKA_VERSION},
        {"--export-pdf --help", 0, "Usage: zenka --export-pdf"},
        {"--site-pdf --help", 0, "Usage: zenka --site-pdf"},
        {"--site-pdf x.ags", 2, ""},
        {"--no-such-option", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                    std::string(ZENKA_GUI_EXE) + "' " + c.args + " 2>/dev/null";
        std::FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
        const int status = pclose(pipe);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), c.status);
        if (*c.out)
            EXPECT_THAT(out, HasSubstr(c.out));
        else
            EXPECT_EQ(out, "");
    }
}

} // namespace
} // namespace zenka::test
