// Loading a candidate list of a million lines (about 10 MB) as UTF-8, GBK and rich text,
// beside the floor of any loader: reading the file's bytes and one UTF-8 -> UTF-16
// conversion of them (readAndConvert). And an Excel workbook of 100,000 rows (student
// number, name), beside the same names as a UTF-8 file. Compare the medians of
//   textio_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>
#include <variant>
#include <vector>

#include "code_pages.h"
#include "file_system.h"
#include "files/candidate_file.h"
#include "qstring_u16.h"
#include "zip_writer.h"

namespace {

constexpr int kLines = 1'000'000;

struct SampleFiles {
    QTemporaryDir dir;
    QString utf8;
    QString gbk;
    QString richText;
    QString workbook;
    QString workbookNames;  // the same names as UTF-8 text
};

constexpr int kWorkbookRows = 100'000;

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
}

const SampleFiles& sampleFiles() {
    static SampleFiles* files = [] {
        auto* f = new SampleFiles;
        QString text;
        QByteArray richText = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 "
                              "SimSun;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs22 ";
        const QString names[] = {QStringLiteral("张三"), QStringLiteral("李四"),
                                 QStringLiteral("王五"), QStringLiteral("赵六")};
        QStringEncoder gbk("GB18030");
        for (int i = 0; i < kLines; ++i) {
            const QString line = names[i % 4] + QString::number(i % 100000).rightJustified(5, '0');
            text += line + QStringLiteral("\r\n");
            QByteArray escaped;
            for (const char byte : QByteArray(gbk.encode(names[i % 4]))) {
                escaped += "\\'" + QByteArray::number(static_cast<unsigned char>(byte), 16);
            }
            richText += escaped + line.mid(2).toLatin1() + "\\par\r\n";
        }
        richText += "}\r\n";
        f->utf8 = f->dir.filePath("utf8.txt");
        f->gbk = f->dir.filePath("gbk.txt");
        f->richText = f->dir.filePath("rich.rtf");
        writeFile(f->utf8, text.toUtf8());
        writeFile(f->gbk, QStringEncoder("GB18030").encode(text));
        writeFile(f->richText, richText);

        std::string rows = R"(<row><c t="inlineStr"><is><t>学号</t></is></c><c t="s"><v>0</v></c></row>)";
        std::vector<std::string> strings{"<t>姓名</t>"};
        QString list;
        for (int i = 0; i < kWorkbookRows; ++i) {
            const QString name = QStringLiteral("%1%2").arg(QStringLiteral("张李王赵").at(i % 4)).arg(i);
            list += name + QStringLiteral("\r\n");
            strings.push_back("<t>" + name.toStdString() + "</t>");
            rows += "<row r=\"" + std::to_string(i + 2) + "\"><c r=\"A" + std::to_string(i + 2) + "\"><v>" +
                    std::to_string(2023000 + i) + "</v></c><c r=\"B" + std::to_string(i + 2) + "\" t=\"s\"><v>" +
                    std::to_string(i + 1) + "</v></c></row>";
        }
        const std::string workbook = zorbalin::sheets::testing::workbookOf({{rows}}, strings);
        f->workbook = f->dir.filePath("names.xlsx");
        f->workbookNames = f->dir.filePath("names.txt");
        writeFile(f->workbook, QByteArray(workbook.data(), static_cast<qsizetype>(workbook.size())));
        writeFile(f->workbookNames, list.toUtf8());
        return f;
    }();
    return *files;
}

void readAndConvert(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        const QString text = QString::fromUtf8(readAll(path));
        benchmark::DoNotOptimize(text.constData());
    }
}

void load(benchmark::State& state, const QString& path) {
    zorbalin::window::PosixFileSystem fileSystem;
    zorbalin::NoProgress progress;
    for (auto _ : state) {
        const auto file = zorbalin::files::readCandidateFile(
            fileSystem, zorbalin::window::fromQString(path), zorbalin::window::qtCodePages(), progress);
        if (!file) {
            state.SkipWithError("the sample file was refused");
            break;  // SkipWithError does not leave the loop
        }
        benchmark::DoNotOptimize(file->text.data());
    }
}

BENCHMARK_CAPTURE(readAndConvert, Utf8, sampleFiles().utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, Utf8, sampleFiles().utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readAndConvert, Gbk, sampleFiles().gbk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, Gbk, sampleFiles().gbk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readAndConvert, RichText, sampleFiles().richText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, RichText, sampleFiles().richText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, NamesOfTheWorkbook, sampleFiles().workbookNames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load, Workbook, sampleFiles().workbook)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
