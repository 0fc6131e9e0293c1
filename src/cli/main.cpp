// sveltor-convert: strips the MacBinary header from MIDI files, from the command line.
#include "Batch.h"

#include <getopt.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef SVELTOR_VERSION
#define SVELTOR_VERSION "unknown"
#endif

namespace {

using namespace sveltor::cli;

constexpr int ExitOk = 0, ExitFailed = 1, ExitUsage = 2;
// Below this many files a bar would only flicker.
constexpr std::size_t ProgressThreshold = 20;

void PrintUsage(std::FILE* out) {
    std::fputs("Usage: sveltor-convert [OPTION]... PATH...\n"
               "Strip the 128-byte MacBinary header from MIDI files, in place.\n"
               "\n"
               "  -r, --recursive      walk folders and their subfolders\n"
               "      --backup=KIND    keep the unchanged file as FILE.MID.BAK (bak, the\n"
               "                       default), as $ILE.MID (dollar), or not at all (none)\n"
               "      --check          report what would happen; change nothing\n"
               "      --all-files      in folders, take every file, not only *.mid\n"
               "  -q, --quiet          report only the files that fail\n"
               "      --help           show this help and exit\n"
               "      --version        show the version and exit\n"
               "\n"
               "Files named on the command line are always taken. Each file gets one line:\n"
               "its path, then what happened to it. Exit status: 0 when every file ended\n"
               "well, 1 when any failed, 2 for a usage error.\n",
               out);
}

int UsageError(const char* message) {
    std::fprintf(stderr,
                 "sveltor-convert: %s\nTry 'sveltor-convert --help' for more information.\n",
                 message);
    return ExitUsage;
}

// A one-line bar on standard error, redrawn in place, cleared before a report line.
class TProgress {
public:
    TProgress(std::size_t total, bool shown) : FTotal(total), FShown(shown) {}
    void Clear() {
        if (FShown)
            std::fputs("\r\033[K", stderr);
    }
    void Draw(std::size_t done) {
        if (!FShown)
            return;
        constexpr std::size_t width = 40;
        const std::size_t filled = FTotal == 0 ? width : done * width / FTotal;
        std::fprintf(stderr, "\r[%s%s] %zu/%zu", std::string(filled, '#').c_str(),
                     std::string(width - filled, ' ').c_str(), done, FTotal);
        std::fflush(stderr);
    }

private:
    std::size_t FTotal;
    bool FShown;
};

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    // A failed write must come back as an error, not end the process half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);

    enum { OptBackup = 256, OptCheck, OptAllFiles, OptHelp, OptVersion };
    static const option longOptions[] = {
        {"recursive", no_argument, nullptr, 'r'},
        {"backup", required_argument, nullptr, OptBackup},
        {"check", no_argument, nullptr, OptCheck},
        {"all-files", no_argument, nullptr, OptAllFiles},
        {"quiet", no_argument, nullptr, 'q'},
        {"help", no_argument, nullptr, OptHelp},
        {"version", no_argument, nullptr, OptVersion},
        {nullptr, 0, nullptr, 0},
    };
    TBatchOptions options;
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, "+rq", longOptions, nullptr)) != -1;) {
        switch (c) {
        case 'r':
            options.Recursive = true;
            break;
        case 'q':
            options.Quiet = true;
            break;
        case OptBackup:
            if (std::strcmp(optarg, "bak") == 0)
                options.Backup = TBackupKind::Bak;
            else if (std::strcmp(optarg, "dollar") == 0)
                options.Backup = TBackupKind::Dollar;
            else if (std::strcmp(optarg, "none") == 0)
                options.Backup = TBackupKind::None;
            else
                return UsageError(
                    ("invalid backup kind '" + std::string(optarg) + "': use bak, dollar or none")
                        .c_str());
            break;
        case OptCheck:
            options.Check = true;
            break;
        case OptAllFiles:
            options.AllFiles = true;
            break;
        case OptHelp:
            PrintUsage(stdout);
            return ExitOk;
        case OptVersion:
            std::printf("sveltor-convert %s\n", SVELTOR_VERSION);
            return ExitOk;
        default:
            return UsageError(
                optopt != 0 && optopt < 256
                    ? ("invalid option -- '" + std::string(1, char(optopt)) + "'").c_str()
                    : ("unrecognized option '" + std::string(argv[optind - 1]) + "'").c_str());
        }
    }
    if (optind >= argc)
        return UsageError("no file or folder named");

    const TWork work = CollectFiles({argv + optind, argv + argc}, options);
    TProgress progress(work.Files.size(),
                       !options.Quiet && work.Files.size() >= ProgressThreshold && ::isatty(2));
    std::size_t converted = 0, unchanged = 0, failed = 0;
    auto report = [&](const TItemResult& r) {
        if (r.Failed)
            ++failed;
        else if (r.Converted)
            ++converted;
        else
            ++unchanged;
        if (options.Quiet && !r.Failed)
            return;
        progress.Clear();
        std::FILE* out = r.Failed ? stderr : stdout;
        std::fprintf(out, "%s: %s\n", r.Path.c_str(), r.Text.c_str());
        std::fflush(out);
    };

    for (const TItemResult& problem : work.Problems)
        report(problem);
    for (std::size_t i = 0; i < work.Files.size(); ++i) {
        report(ConvertOne(work.Files[i], options));
        progress.Draw(i + 1);
    }
    progress.Clear();
    if (!options.Quiet)
        std::printf("%zu %s: %zu %s, %zu unchanged, %zu failed\n", converted + unchanged + failed,
                    converted + unchanged + failed == 1 ? "file" : "files", converted,
                    options.Check ? "to convert" : "converted", unchanged, failed);
    if (std::fflush(stdout) != 0)
        return ExitFailed;
    return failed == 0 ? ExitOk : ExitFailed;
}
