// Writing a 7.7 MB list back over the real POSIX operations, replaced (a plain file) and in
// place (hard-linked: the copy of its old bytes first, a look before each step, its bytes
// read back), and one step of an in-place write alone (a look, 1 MiB written, a look again):
// while a step runs, another program that takes no lock can write unseen.
//   files_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "file_system.h"
#include "files/candidate_file.h"
#include "qstring_u16.h"

namespace {

using zorbalin::window::PosixFileSystem;
using zorbalin::window::qtCodePages;

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
}

ino_t inodeOf(const QString& path) {
    struct stat status {};
    if (stat(QFile::encodeName(path).constData(), &status) != 0) std::abort();
    return status.st_ino;
}

void BM_WriteBack(benchmark::State& state) {
    const bool linked = state.range(0) != 0;
    QTemporaryDir dir;
    QTemporaryDir recovery;
    PosixFileSystem fileSystem(recovery.filePath("zorbalin"));
    const QString list = dir.filePath("list.txt");
    const QByteArray lines = QByteArray("名字\r\n").repeated(770'000);
    writeFile(list, lines + "\r\n");
    if (linked && link(QFile::encodeName(list).constData(), QFile::encodeName(dir.filePath("other")).constData()) != 0) {
        std::abort();
    }
    zorbalin::NoProgress progress;
    const std::u16string texts[] = {zorbalin::window::fromQString(QString::fromUtf8(lines)),
                                    zorbalin::window::fromQString(QString::fromUtf8(lines + "名字"))};
    bool replaced = false;
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto loaded = zorbalin::files::readCandidateFile(fileSystem, zorbalin::window::fromQString(list), qtCodePages(), progress);
        if (!loaded) std::abort();
        const ino_t before = inodeOf(list);
        state.ResumeTiming();
        if (!zorbalin::files::writeCandidateFile(fileSystem, *loaded, texts[turn++ % 2], qtCodePages(), progress)) {
            std::abort();
        }
        state.PauseTiming();
        replaced = inodeOf(list) != before;
        state.ResumeTiming();
    }
    state.SetLabel(replaced ? "replaced" : "in place");
    state.SetBytesProcessed(state.iterations() * lines.size());
}
BENCHMARK(BM_WriteBack)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OneStepOfAnInPlaceWrite(benchmark::State& state) {
    QTemporaryDir dir;
    const QString list = dir.filePath("list.txt");
    const std::string piece(std::size_t{1} << 20, 'x');
    writeFile(list, QByteArray(piece.data(), static_cast<qsizetype>(piece.size())));
    const int fd = ::open(QFile::encodeName(list).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) std::abort();
    struct stat status {};
    for (auto _ : state) {
        if (fstat(fd, &status) != 0 || pwrite(fd, piece.data(), piece.size(), 0) != static_cast<ssize_t>(piece.size()) ||
            fstat(fd, &status) != 0) {
            std::abort();
        }
    }
    ::close(fd);
}
BENCHMARK(BM_OneStepOfAnInPlaceWrite)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
