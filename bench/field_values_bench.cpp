// Field values and code pages on many records: reading and writing every
// field of 100,000 records, and converting 16 MB of DOS text, each beside a
// plain copy of the same bytes.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/field_io.h"
#include "platform/core/code_page.h"

namespace {

constexpr int kRecords = 100000;

struct Layout {
    std::vector<dbf::DBFFieldDesc> fields;
    uint32_t nRecordLength = 1;

    void Add(char cType, uint8_t nWidth, uint8_t nDecimals = 0) {
        dbf::DBFFieldDesc d{};
        d.type = cType;
        d.width = nWidth;
        d.decimals = nDecimals;
        d.SetDisplacement(nRecordLength);
        nRecordLength += d.GetLayoutWidth();
        fields.push_back(d);
    }
};

Layout TypicalLayout() {
    Layout l;
    l.Add('C', 30);
    l.Add('N', 10, 2);
    l.Add('D', 8);
    l.Add('L', 1);
    l.Add('I', 4);
    l.Add('C', 12);
    return l;
}

std::vector<uint8_t> FilledRecords(const Layout& layout) {
    std::vector<uint8_t> records(size_t(layout.nRecordLength) * kRecords, ' ');
    for (int r = 0; r < kRecords; ++r) {
        std::span<uint8_t> rec(records.data() + size_t(r) * layout.nRecordLength, layout.nRecordLength);
        dbf::WriteFieldValue(rec, layout.fields[0], dbf::FieldValue::MakeText("Customer name " + std::to_string(r)));
        dbf::WriteFieldValue(rec, layout.fields[1], dbf::FieldValue::MakeDouble(r * 1.25));
        dbf::WriteFieldValue(rec, layout.fields[2], dbf::FieldValue::MakeText("2002-03-04"));
        dbf::WriteFieldValue(rec, layout.fields[3], dbf::FieldValue::MakeBool(r & 1));
        dbf::WriteFieldValue(rec, layout.fields[4], dbf::FieldValue::MakeInt32(r));
        dbf::WriteFieldValue(rec, layout.fields[5], dbf::FieldValue::MakeText("Town"));
    }
    return records;
}

void BM_CopyRecords(benchmark::State& state) {
    Layout layout = TypicalLayout();
    std::vector<uint8_t> records = FilledRecords(layout), copy(records.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), records.data(), records.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_CopyRecords)->Unit(benchmark::kMillisecond);

void BM_ReadEveryField(benchmark::State& state) {
    Layout layout = TypicalLayout();
    std::vector<uint8_t> records = FilledRecords(layout);
    dbf::FieldValue value;
    for (auto _ : state) {
        for (int r = 0; r < kRecords; ++r) {
            std::span<const uint8_t> rec(records.data() + size_t(r) * layout.nRecordLength, layout.nRecordLength);
            for (const auto& d : layout.fields) benchmark::DoNotOptimize(dbf::ReadFieldValue(rec, d, value));
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_ReadEveryField)->Unit(benchmark::kMillisecond);

// The restructure copy and the code-page conversion read a field and write it back.
void BM_ReadAndWriteEveryField(benchmark::State& state) {
    Layout layout = TypicalLayout();
    std::vector<uint8_t> records = FilledRecords(layout);
    dbf::FieldValue value;
    const platform::CUserLocale& locale = platform::CUserLocale::Current();
    for (auto _ : state) {
        for (int r = 0; r < kRecords; ++r) {
            std::span<uint8_t> rec(records.data() + size_t(r) * layout.nRecordLength, layout.nRecordLength);
            for (const auto& d : layout.fields) {
                dbf::ReadFieldValue(rec, d, value);
                dbf::WriteFieldValue(rec, d, value, locale);
            }
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_ReadAndWriteEveryField)->Unit(benchmark::kMillisecond);

std::vector<char> DosText() {
    std::vector<char> text(16 << 20);
    for (size_t i = 0; i < text.size(); ++i) text[i] = char(i * 131 % 256);
    return text;
}

void BM_CopyText(benchmark::State& state) {
    std::vector<char> text = DosText(), copy(text.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_CopyText)->Unit(benchmark::kMillisecond);

void BM_OemToAnsi(benchmark::State& state) {
    std::vector<char> text = DosText();
    const platform::CCodePageConverter converter(*platform::CCodePage::Find("866"), *platform::CCodePage::Find("1251"));
    for (auto _ : state) {
        converter.ConvertInPlace(text.data(), text.size());
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_OemToAnsi)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
