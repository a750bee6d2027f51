// telelist-convert as a user runs it. Each folder under cases/ is one run
// in a scratch directory holding the folder's files: `args` gives the
// arguments, one a line; `stdout` and `stderr` are the expected streams
// (empty when absent), `status` the exit status (0 when absent). A data
// file written on standard output must pass telelist-check without an
// error, and so must every file NAME for which the folder holds NAME.after,
// the file as the run leaves it, unless it is left as it was. A folder in the case folder is copied
// with what it holds, and a folder NAME.after is the folder NAME as the run
// leaves it, file for file. TELEDIR_TEST_UPDATE=1 writes the expected
// files from a run.
#include <chrono>
#include <csignal>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "scratch_run.h"

namespace {

using namespace scratch_run;

// A scratch directory to run telelist-convert in.
class Scratch : public scratch_run::Scratch {
protected:
    // Runs command; prefix goes before it, for ulimit and the like.
    Outcome run(const std::string& command, const std::string& prefix = "") const {
        return scratch_run::Scratch::run(prefix + command);
    }
    Outcome convert(const std::vector<std::string>& args, const std::string& prefix = "") const {
        return run(commandLine(CONVERT_PROGRAM, args), prefix);
    }
    // telelist-check finds no error in text as a data file.
    void expectCheckClean(const std::string& text) const {
        write("written.dat", text);
        Outcome check = run(shellQuoted(CHECK_PROGRAM) + " written.dat");
        EXPECT_EQ(check.status, 0) << check.out;
    }
    // The files in dir, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& file : fs::directory_iterator(dir)) found.push_back(file.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

// The folders under root that wanted takes.
std::vector<fs::path> folders(const char* root, bool (*wanted)(const fs::path&)) {
    std::vector<fs::path> found = foldersUnder(root);
    found.erase(std::remove_if(found.begin(), found.end(), [&](const fs::path& f) { return !wanted(f); }),
                found.end());
    return found;
}

class ConvertCase : public Scratch, public ::testing::WithParamInterface<fs::path> {};

// The files of a folder, hidden ones too, as one text: each name, then
// what it holds.
std::string folderText(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& file : fs::directory_iterator(folder)) files.push_back(file.path());
    std::sort(files.begin(), files.end());
    std::string text;
    for (const fs::path& file : files) text += "== " + file.filename().string() + "\n" + slurp(file);
    return text;
}

TEST_P(ConvertCase, OutputMessagesAndStatus) {
    const fs::path& folder = GetParam();
    std::vector<std::string> args;
    std::istringstream lines(slurp(folder / "args"));
    for (std::string arg; std::getline(lines, arg);) args.push_back(arg);
    for (const auto& file : fs::directory_iterator(folder))
        fs::copy(file.path(), dir / file.path().filename(), fs::copy_options::recursive);
    // TELEDIR_TEST_CONVERT_PROGRAM names a Windows build to run instead.
    Outcome result = run(testedCommand("TELEDIR_TEST_CONVERT_PROGRAM", CONVERT_PROGRAM, args));
    result.err = withLfEnds(result.err);
    auto expected = [&](const char* name) { return fs::exists(folder / name) ? slurp(folder / name) : ""; };
    const char* update = std::getenv("TELEDIR_TEST_UPDATE");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(folder / "stdout", std::ios::binary) << result.out;
        fs::remove(folder / "stderr"), fs::remove(folder / "status");
        if (!result.err.empty()) std::ofstream(folder / "stderr", std::ios::binary) << result.err;
        if (result.status != 0) std::ofstream(folder / "status") << result.status << "\n";
    }
    // NAME.after: the file NAME as the run leaves it.
    for (const auto& file : fs::directory_iterator(folder)) {
        if (file.path().extension() != ".after") continue;
        fs::path left = dir / file.path().stem();
        if (fs::is_directory(file.path())) {
            if (update != nullptr && std::string(update) == "1") {
                fs::remove_all(file.path());
                fs::copy(left, file.path(), fs::copy_options::recursive);
            }
            EXPECT_EQ(fs::is_directory(left) ? folderText(left) : "", folderText(file.path())) << left;
            continue;
        }
        if (update != nullptr && std::string(update) == "1")
            std::ofstream(file.path(), std::ios::binary) << slurp(left);
        EXPECT_EQ(slurp(left), slurp(file.path())) << left;
        // A file left as it was is not the run's to make clean.
        fs::path before = folder / file.path().stem();
        if (fs::exists(left) && !(fs::exists(before) && slurp(before) == slurp(left)))
            expectCheckClean(slurp(left));
    }
    EXPECT_EQ(result.out, expected("stdout"));
    EXPECT_EQ(result.err, expected("stderr"));
    std::string status = expected("status");
    EXPECT_EQ(result.status, status.empty() ? 0 : std::stoi(status));
    bool exported = std::any_of(args.begin(), args.end(),
                                [](const std::string& arg) { return arg.rfind("--to", 0) == 0; });
    if (!exported && result.status != 2) expectCheckClean(result.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertCase,
    ::testing::ValuesIn(folders(CASES_DIR, [](const fs::path& f) { return fs::exists(f / "args"); })),
    folderTestName);

// Printable UTF-8 and field separators only: text the import writes back as
// it is. (It takes bytes that are not UTF-8 for Windows-1252 and drops
// control characters and byte-order marks.)
bool isPlainText(const std::string& text) {
    for (std::size_t k = 0; k < text.size();) {
        auto byte = static_cast<unsigned char>(text[k]);
        if (byte < 0x80) {
            if ((byte < 0x20 &&
                 std::string(" \t\n\v\f\r").find(static_cast<char>(byte)) == std::string::npos) ||
                byte == 0x7F)
                return false;
            ++k;
            continue;
        }
        std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        if (length == 0 || k + length > text.size()) return false;
        for (std::size_t j = 1; j < length; ++j)
            if ((static_cast<unsigned char>(text[k + j]) & 0xC0) != 0x80) return false;
        if (text.compare(k, 3, "\xEF\xBB\xBF") == 0 ||
            (byte == 0xC2 && static_cast<unsigned char>(text[k + 1]) < 0xA0))
            return false;  // a byte-order mark, a C1 control
        k += length;
    }
    return true;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Every data file telelist-check finds no error in comes back from vCard
// and from CSV as the same entries, their exports the same, when it is
// plain text; otherwise as as many entries, cleaned, that load clean. An
// empty directory exports no contact, and the import then writes nothing.
class RoundTrip : public Scratch, public ::testing::WithParamInterface<fs::path> {};

TEST_P(RoundTrip, SameEntriesBack) {
    fs::copy_file(GetParam() / "telelist.dat", dir / "telelist.dat");
    std::size_t rows = lineCount(convert({"--to", "csv"}).out);  // the header and an entry a row
    bool plain = isPlainText(slurp(dir / "telelist.dat"));
    for (const char* format : {"vcard", "csv"}) {
        SCOPED_TRACE(format);
        Outcome original = convert({"--to", format});
        ASSERT_EQ(original.status, 0) << original.err;
        write("contacts", original.out);
        Outcome back = convert({"--from", format, "contacts", "-o", "back.dat"});
        if (rows == 1) {
            EXPECT_EQ(back.status, 1) << back.err;
            EXPECT_FALSE(fs::exists(dir / "back.dat"));
            continue;
        }
        EXPECT_NE(back.status, 2) << back.err;
        Outcome again = convert({"--to", format, "back.dat"});
        if (plain) {
            EXPECT_EQ(again.out, original.out);
        } else {
            EXPECT_EQ(lineCount(convert({"--to", "csv", "back.dat"}).out), rows);
        }
        expectCheckClean(slurp(dir / "back.dat"));
    }
}

INSTANTIATE_TEST_SUITE_P(DirectoryCases, RoundTrip,
                         ::testing::ValuesIn(folders(DIRECTORY_CASES_DIR,
                                                     [](const fs::path& f) {
                                                         return fs::exists(f / "telelist.dat") &&
                                                                fs::exists(f / "telelist-check.out") &&
                                                                !fs::exists(f / "telelist-check.status");
                                                     })),
                         folderTestName);

// Contacts that make a data file of about 1 MB.
std::string largeContacts() {
    std::string contacts = "First Name,Last Name,Phone\n";
    for (char k = 'a'; k < 'q'; ++k)
        contacts += "Ann" + std::string(60000, 'n') + ",Smith" + k + ",312 555 0100\n";
    return contacts;
}

// A result that cannot be written in full leaves an existing OUT as it
// was and no temporary file behind: a file size limit (which binds root
// too) stops the write, and a folder in OUT's place cannot be written. The
// result, about 1 MB, is far over the limit of 256 KiB, and the coverage
// counts an instrumented build writes at exit far under it.
TEST_F(Scratch, FailedWriteLeavesOutputUntouched) {
    write("contacts.csv", largeContacts());
    write("out.dat", "Old Entry 312 555-0101\n");
    Outcome tooLarge = convert({"contacts.csv", "-o", "out.dat"}, "trap '' XFSZ; ulimit -f 256; ");
    EXPECT_EQ(tooLarge.status, 2);
    EXPECT_EQ(tooLarge.err, "telelist-convert: out.dat: cannot write: File too large\n");
    EXPECT_EQ(slurp(dir / "out.dat"), "Old Entry 312 555-0101\n");

    fs::create_directory(dir / "folder");
    Outcome folder = convert({"contacts.csv", "-o", "folder"});
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.err.find("telelist-convert: folder: cannot write: "), std::string::npos) << folder.err;
    EXPECT_TRUE(fs::is_empty(dir / "folder"));

    EXPECT_EQ(names(), (std::vector<std::string>{"contacts.csv", "folder", "out.dat"}));

    EXPECT_EQ(convert({"contacts.csv", "-o", "out.dat"}).status, 0);  // and where it can, it does
    EXPECT_EQ(slurp(dir / "out.dat").substr(0, 4), "Ann" + std::string(1, 'n'));
}

// The same limit with SIGXFSZ left to its default action: the program
// dies of it, and still removes its temporary file.
TEST_F(Scratch, SignalEndingTheWriteLeavesNoTemporaryFile) {
    write("contacts.csv", largeContacts());
    write("out.dat", "Old Entry 312 555-0101\n");
    Outcome killed = convert({"contacts.csv", "-o", "out.dat"}, "trap - XFSZ; ulimit -f 256; ");
    EXPECT_EQ(killed.status, 128 + SIGXFSZ);
    EXPECT_EQ(slurp(dir / "out.dat"), "Old Entry 312 555-0101\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"contacts.csv", "out.dat"}));
}

// OUT that is the file to convert, by any name, is refused before the file
// is read (its contact without a number would be an error) and left as it was.
TEST_F(Scratch, OutputThatIsTheInputIsRefused) {
    const std::string card =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Ann;;;\r\nEMAIL:a@example.com\r\nEND:VCARD\r\n";
    write("c.vcf", card);
    fs::create_symlink("c.vcf", dir / "link.vcf");
    fs::create_hard_link(dir / "c.vcf", dir / "hard.vcf");
    for (const auto& [arguments, named] :
         {std::pair{"c.vcf -o c.vcf", "c.vcf: is the input file c.vcf"},
          std::pair{"c.vcf -o link.vcf", "link.vcf: is the input file c.vcf"},
          std::pair{"link.vcf -o hard.vcf", "hard.vcf: is the input file link.vcf"},
          std::pair{"c.vcf -o /dev/stdout >> hard.vcf", "/dev/stdout: is the input file c.vcf"}}) {
        SCOPED_TRACE(arguments);
        Outcome refused = run(shellQuoted(CONVERT_PROGRAM) + " " + arguments);
        EXPECT_EQ(refused.err,
                  std::string("telelist-convert: ") + named + " itself; nothing is read or written\n");
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(slurp(dir / "c.vcf"), card);
    }
}

// -o naming a descriptor writes into it, where it is: appended to a file
// opened for appending, after what a file opened by the shell holds, into a
// pipe, into a deleted file; never a file replaced or made beside it.
TEST_F(Scratch, DescriptorOutputIsWrittenInto) {
    const std::string entry = "Ann Smith 312 555-0101\n";
    write("c.csv", "First Name,Last Name,Phone\nAnn,Smith,312-555-0101\n");
    const std::string convert = shellQuoted(CONVERT_PROGRAM) + " c.csv -o ";
    struct Row {
        std::string command, out, err;
    };
    for (const Row& row :
         {Row{"echo old > log; " + convert + "/dev/stdout >> log; cat log", "old\n" + entry, ""},
          Row{"echo old > log; " + convert + "/dev/fd/3 3>> log; cat log", "old\n" + entry, ""},
          Row{"echo old; " + convert + "/proc/$$/fd/1", "old\n" + entry, ""},
          Row{convert + "/dev/stdout | cat", entry, ""},
          Row{"exec 7> gone; rm gone; " + convert + "/proc/self/fd/7; cat /dev/fd/7", entry, ""},
          Row{convert + "/dev/fd/9", "",
              "telelist-convert: /dev/fd/9: cannot write: Bad file descriptor\n"}}) {
        SCOPED_TRACE(row.command);
        Outcome written = run(row.command);
        EXPECT_EQ(written.out, row.out);
        EXPECT_EQ(written.err, row.err);
        fs::remove(dir / "log");
        EXPECT_EQ(names(), std::vector<std::string>{"c.csv"});
    }
}

// Replacing a hard-linked OUT leaves its other names the old file: said.
TEST_F(Scratch, HardLinkedOutputIsSplitWithAWarning) {
    write("c.csv", "First Name,Last Name,Phone\nAnn,Smith,312-555-0101\n");
    write("out.dat", "Old Entry 312 555-0101\n");
    fs::create_hard_link(dir / "out.dat", dir / "other.dat");
    fs::create_symlink("out.dat", dir / "link.dat");
    Outcome split = convert({"c.csv", "-o", "link.dat"});
    EXPECT_EQ(
        split.err,
        "telelist-convert: link.dat: warning: replaced by a new file; its 1 other hard link keeps the old "
        "content\n");
    EXPECT_EQ(split.status, 0);
    EXPECT_EQ(slurp(dir / "out.dat"), "Ann Smith 312 555-0101\n");
    EXPECT_EQ(slurp(dir / "other.dat"), "Old Entry 312 555-0101\n");
    EXPECT_EQ(convert({"c.csv", "-o", "out.dat"}).err, "");  // a file of its own now
}

// A field too long to load ends the export where it ends the load; the
// message names the entry when the entry has a name to go by.
TEST_F(Scratch, FieldTooLongEndsTheExport) {
    const std::string tooLong(65537, 'x');
    const std::string problem =
        "a field of more than 65536 bytes, far beyond any name or number; the directory stops loading here: "
        "this "
        "entry keeps only the fields before it, and the rest of the file is not read; nothing after it is "
        "exported\n";
    write("telelist.dat",
          "Ann Smith 312 555-0101\nBob " + tooLong + " 415 555-0102\nCy Clark 212 555-0103\n");
    Outcome named = convert({"--to", "csv"});
    EXPECT_EQ(named.out, "First Name,Last Name,Area Code,Number\r\nAnn,Smith,312,555-0101\r\nBob,,,\r\n");
    EXPECT_EQ(named.err, "telelist.dat:2: error: \"Bob\": " + problem);
    EXPECT_EQ(named.status, 1);

    write("telelist.dat", tooLong + " Smith 312 555-0101\n");
    EXPECT_EQ(convert({"--to", "vcard"}).err, "telelist.dat:1: error: " + problem);
}

// A result that does not reach standard output fails the run, with the
// reason of the write that failed: for a large result, far more than a
// buffer holds, a write long before the end of the run.
TEST_F(Scratch, StandardOutputErrorFails) {
    std::string large;
    for (char k = 'a'; k < 'q'; ++k)
        large += "Ann" + std::string(4000, 'n') + " Smith" + k + " 312 555-0101\n";
    write("small.dat", "Ann Smith 312 555-0101\n");
    write("large.dat", large);
    write("contacts.csv", largeContacts());
    const std::string full = "telelist-convert: write error: No space left on device\n";
    const std::string closed = "telelist-convert: write error: Bad file descriptor\n";
    struct Row {
        const char* arguments;
        std::string err;
    };
    for (const Row& row :
         {Row{"--to vcard small.dat > /dev/full", full}, Row{"--to vcard large.dat > /dev/full", full},
          Row{"--to csv large.dat > /dev/full", full}, Row{"contacts.csv > /dev/full", full},
          Row{"--to vcard large.dat >&-", closed}, Row{"--help > /dev/full", full}}) {
        SCOPED_TRACE(row.arguments);
        Outcome failed = run(shellQuoted(CONVERT_PROGRAM) + " " + row.arguments);
        EXPECT_EQ(failed.err, row.err);
        EXPECT_EQ(failed.status, 2);
    }
}

// A second export of the same directory into its folder of cards writes
// nothing and tells nothing: each file stays the very file it was.
TEST_F(Scratch, FolderOfCardsExportedAgainIsLeftAlone) {
    write("telelist.dat", "Maria Lopez 312 358-9111\nAnn Smith 312 555-0187\n");
    Outcome first = convert({"--to", "vdir", "-o", "book"});
    ASSERT_EQ(first.status, 0) << first.err;
    std::map<std::string, fs::file_time_type> written;
    for (const auto& file : fs::directory_iterator(dir / "book")) {
        fs::last_write_time(file.path(), fs::file_time_type::clock::now() - std::chrono::hours(1));
        written[file.path().filename().string()] = fs::last_write_time(file.path());
    }
    EXPECT_EQ(written.size(), 3u);  // two cards and the list of them
    Outcome again = convert({"--to", "vdir", "-o", "book"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "");
    for (const auto& file : fs::directory_iterator(dir / "book"))
        EXPECT_EQ(fs::last_write_time(file.path()), written.at(file.path().filename().string()))
            << file.path();
}

// A card file of a folder that cannot be read ends the run as a file that
// cannot be read does: nothing written, OUT as it was.
TEST_F(Scratch, UnreadableCardFileEndsTheFolderImport) {
    fs::create_directory(dir / "book");
    write("book/a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Ann\r\nTEL:312 555 0101\r\nEND:VCARD\r\n");
    fs::create_symlink("nowhere.vcf", dir / "book" / "b.vcf");
    write("out.dat", "Old Entry 312 555-0101\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"book", "-o", "out.dat"}, {"--merge", "-o", "out.dat", "book"}}) {
        Outcome failed = convert(args);
        EXPECT_EQ(failed.status, 2);
        EXPECT_EQ(failed.err, "telelist-convert: book/b.vcf: cannot open: No such file or directory\n");
        EXPECT_EQ(slurp(dir / "out.dat"), "Old Entry 312 555-0101\n");
    }
}

}  // namespace
