// Saved runs (.xls) as a spreadsheet may give them back: each row the
// reader keeps is exactly three whole numbers by a plain recomputation,
// every other line is counted bad by its number, and the kept samples,
// saved again, read back the same with nothing bad.
#include "run/OpenedRun.h"
#include "run/SaveFileReader.h"

#include <QBuffer>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Row {
    int speed;
    int torque;
};

// An optional minus and decimal digits that fit the type; nothing else.
std::optional<long long> Whole(const std::string& field, long long min, long long max)
{
    size_t i = field.size() > 0 && field[0] == '-' ? 1 : 0;
    if (i == field.size()) return std::nullopt;
    for (size_t j = i; j < field.size(); ++j)
        if (field[j] < '0' || field[j] > '9') return std::nullopt;
    errno = 0;
    const long long v = std::strtoll(field.c_str(), nullptr, 10);
    if (errno == ERANGE || v < min || v > max) return std::nullopt;
    return v;
}

std::optional<Row> Expected(std::string line)
{
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') fields.emplace_back();
        else fields.back() += c;
    }
    if (fields.size() != 3) return std::nullopt;
    const auto number = Whole(fields[0], INT64_MIN, INT64_MAX);
    const auto speed = Whole(fields[1], INT32_MIN, INT32_MAX);
    const auto torque = Whole(fields[2], INT32_MIN, INT32_MAX);
    if (!number || !speed || !torque) return std::nullopt;
    return Row{int(*speed), int(*torque)};
}

bool Read(const QByteArray& bytes, COpenedRun* run)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        *run = CSaveFileReader::Read(buffer, QStringLiteral("fuzz.xls"));
        return true;
    } catch (const CRunFileError&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 256 * 1024) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    COpenedRun run;
    const bool read = Read(bytes, &run);

    // The lines as an editor numbers them; the last one may lack its line feed.
    std::vector<std::string> lines;
    std::vector<bool> complete;
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype lf = bytes.indexOf('\n', from);
        complete.push_back(lf >= 0);
        if (lf < 0) lf = bytes.size();
        lines.emplace_back(bytes.constData() + from, size_t(lf - from));
        from = lf + 1;
    }
    const auto fits = [&](size_t i) { return complete[i] && lines[i].size() <= size_t(CSaveFileReader::kMaxLine); };

    if (lines.empty() || !fits(0)) {
        if (read) std::abort();
        return 0;
    }
    std::string title = lines[0];
    if (!title.empty() && title.back() == '\r') title.pop_back();
    if (read != CSaveFileReader::IsTitleLine(title.data(), int(title.size()))) std::abort();
    if (!read) return 0;

    // Rows kept in order, exactly those that are three whole numbers; the others named.
    std::vector<Row> expected;
    std::vector<qint64> bad;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::optional<Row> row = fits(i) ? Expected(lines[i]) : std::nullopt;
        if (row) expected.push_back(*row);
        else bad.push_back(qint64(i) + 1);
    }
    if (run.Samples().size() != expected.size() || run.BadLines().Count() != qint64(bad.size())) std::abort();
    for (size_t i = 0; i < expected.size(); ++i)
        if (run.Samples()[i].nSpeed != expected[i].speed || run.Samples()[i].nTorque != expected[i].torque
            || run.Samples()[i].nElapsedMs != -1)
            std::abort();
    const std::vector<qint64>& numbers = run.BadLines().Numbers();
    for (size_t i = 0; i < numbers.size(); ++i)
        if (i >= bad.size() || numbers[i] != bad[i]) std::abort();

    // Saved again as Save writes it, the samples read back unchanged and whole.
    QByteArray again = "Sample\tSpeed\tTorque\r\n";
    for (size_t i = 0; i < run.Samples().size(); ++i)
        again += QByteArray::number(qulonglong(i + 1)) + '\t' + QByteArray::number(run.Samples()[i].nSpeed) + '\t'
            + QByteArray::number(run.Samples()[i].nTorque) + "\r\n";
    COpenedRun copy;
    if (!Read(again, &copy) || !copy.BadLines().IsEmpty() || copy.Samples().size() != run.Samples().size()) std::abort();
    for (size_t i = 0; i < copy.Samples().size(); ++i)
        if (copy.Samples()[i].nSpeed != run.Samples()[i].nSpeed || copy.Samples()[i].nTorque != run.Samples()[i].nTorque)
            std::abort();
    return 0;
}
