#include <gtest/gtest.h>

#include <cmath>

#include "data/excel.h"
#include "data/gauss_files.h"
#include "data/lotus.h"
#include "data/sheets.h"
#include "data_fixture.h"

namespace zu::data {
namespace {

class SheetFiles : public test::DataFiles {
protected:
    // A quarterly database of two variables, one value missing.
    static Database* Quarterly(const std::string& name) {
        Database* db = DbCreate(name, 0);
        EXPECT_TRUE(FDbSetSample(*db, {1999, 4, 2000, 2, 4}));
        IDbAddVar(*db, "gdp");
        IDbAddVar(*db, "r\xC3\xA4te");  // not ASCII
        db->vars[0].values = {1.5, -2, 1e300};
        db->vars[1].values = {std::nan(""), 0.25, 3};
        return db;
    }

    using Save = int (*)(Database&, const std::string&, bool);
    using Load = bool (*)(Database&, const std::string&, LoadCounts&);

    void ExpectRoundTrip(const std::string& file, Save save, Load load) {
        Database* db = Quarterly("out_" + file);
        ASSERT_EQ(save(*db, Path(file), false), 1) << file;
        DbDelete(db);
        Database* back = DbCreate("in_" + file, 0);
        LoadCounts counts;
        ASSERT_TRUE(load(*back, Path(file), counts)) << file;
        EXPECT_EQ(counts.read, 3) << file;
        EXPECT_EQ(back->sample.freq, 4) << file;
        EXPECT_EQ(back->sample.year1, 1999) << file;
        EXPECT_EQ(back->sample.period1, 4) << file;
        ASSERT_EQ(back->vars.size(), 2u) << file;
        EXPECT_EQ(back->vars[1].name, "r\xC3\xA4te") << file;
        EXPECT_EQ(back->vars[0].values, (std::vector<double>{1.5, -2, 1e300})) << file;
        EXPECT_TRUE(std::isnan(back->vars[1].values[0])) << file;
        EXPECT_EQ(back->vars[1].values[2], 3) << file;
        DbDelete(back);
    }

    // The file cut to `keep` bytes.
    void Truncate(const std::string& file, std::size_t keep) {
        const std::string text = ReadText(file);
        WriteText(file, text.substr(0, keep));
    }
};

TEST_F(SheetFiles, EveryWorksheetFormatRoundTripsNamesValuesAndTheDatedSample) {
    ExpectRoundTrip("t.wks", ISaveWks, FLoadWks);
    ExpectRoundTrip("t.wk1", ISaveWks, FLoadWks);
    ExpectRoundTrip("t.xls", ISaveXls, FLoadXls);
    ExpectRoundTrip("t.xlsx", ISaveXlsx, FLoadXlsx);
    ExpectRoundTrip("t.dht", ISaveDataSet, [](Database& db, const std::string& name, LoadCounts& counts) {
        // A data set has no room for dates: the sample comes back undated.
        if (!FLoadDataSet(db, name, counts)) return false;
        db.sample = {1999, 4, 2000, 2, 4};
        return true;
    });
}

TEST_F(SheetFiles, AFewCellsFarApartAreNotAHugeTable) {
    Sheet sheet;
    ASSERT_TRUE(sheet.AddText(0, 0, "x"));
    ASSERT_TRUE(sheet.AddNumber(1000000, 16000, 1));
    EXPECT_FALSE(sheet.AddNumber(-1, 0, 1));
    EXPECT_FALSE(sheet.AddNumber(kSheetRows, 0, 1));
    Database* db = DbCreate("far", 0);
    LoadCounts counts;
    EXPECT_FALSE(FLoadSheet(sheet, *db, "far.xls", counts));
    EXPECT_TRUE(db->vars.empty());
    DbDelete(db);
}

TEST_F(SheetFiles, RepeatedAndMissingNamesStillGiveAVariableAColumn) {
    Sheet sheet;
    for (int c = 0; c < 3; ++c) sheet.AddNumber(1, c, c);
    sheet.AddText(0, 0, "x");
    sheet.AddText(0, 1, "x");
    Database* db = DbCreate("names", 0);
    LoadCounts counts;
    ASSERT_TRUE(FLoadSheet(sheet, *db, "names.xls", counts));
    ASSERT_EQ(db->vars.size(), 3u);
    EXPECT_EQ(db->vars[1].name, "x_2");
    EXPECT_EQ(db->vars[2].name, "Var3");
    EXPECT_EQ(db->vars[1].values[0], 1);
    DbDelete(db);
}

TEST_F(SheetFiles, TheCompoundFileHoldsTheStreamInAChainOfSectors) {
    std::vector<std::uint8_t> stream(5000);
    for (std::size_t k = 0; k < stream.size(); ++k) stream[k] = static_cast<std::uint8_t>(k * 7);
    const std::vector<std::uint8_t> file = CompoundFile("Workbook", stream);
    ASSERT_EQ(file.size() % 512, 0u);
    // Header, ten sectors of stream, one directory sector, one FAT sector.
    ASSERT_EQ(file.size(), 512u * 13);
    EXPECT_EQ(file[0], 0xD0);
    EXPECT_EQ(file[7], 0xE1);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), file.begin() + 512));
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) | (file[at + 3] << 24));
    };
    EXPECT_EQ(u32(48), 10u);  // the directory's sector
    const std::size_t fat = 512 * (1 + u32(76));
    for (std::uint32_t s = 0; s < 9; ++s) EXPECT_EQ(u32(fat + 4 * s), s + 1);
    EXPECT_EQ(u32(fat + 4 * 9), 0xFFFFFFFEu);
    const std::size_t entry = 512 * 11 + 128;
    EXPECT_EQ(file[entry], 'W');
    EXPECT_EQ(u32(entry + 120), 5000u);
}

TEST_F(SheetFiles, DamagedWorksheetsGiveAMessage) {
    Database* db = Quarterly("damaged");
    ASSERT_EQ(ISaveWks(*db, Path("cut.wk1"), false), 1);
    ASSERT_EQ(ISaveXls(*db, Path("cut.xls"), false), 1);
    ASSERT_EQ(ISaveXlsx(*db, Path("cut.xlsx"), false), 1);
    DbDelete(db);
    Truncate("cut.wk1", 40);
    Truncate("cut.xls", 2000);
    Truncate("cut.xlsx", 300);
    WriteText("text.wks", "not a worksheet");
    WriteText("text.xls", std::string(4096, 'x'));
    WriteText("text.xlsx", "PK not a zip");
    // A record whose length runs past the end of the file.
    WriteBytes("long.wks", {0, 0, 2, 0, 4, 4, 0x0E, 0, 0xFF, 0xFF, 1, 2});
    for (const char* name : {"cut.wk1", "cut.xls", "cut.xlsx", "text.wks", "text.xls", "text.xlsx", "long.wks"}) {
        const std::size_t before = test::Messages().size();
        Database* target = DbCreate(std::string("into_") + name, 0);
        LoadCounts counts;
        const std::string file = name;
        const bool loaded = file.ends_with(".xlsx")  ? FLoadXlsx(*target, Path(file), counts)
                            : file.ends_with(".xls") ? FLoadXls(*target, Path(file), counts)
                                                     : FLoadWks(*target, Path(file), counts);
        EXPECT_FALSE(loaded) << name;
        EXPECT_GT(test::Messages().size(), before) << name;
        EXPECT_TRUE(target->vars.empty()) << name;
        DbDelete(target);
    }
    EXPECT_TRUE(Said("Error reading .XLS/.WKS file"));
    EXPECT_TRUE(Said("Invalid .WKS file"));
    EXPECT_TRUE(Said("Invalid .XLS file"));
}

#ifndef __SANITIZE_ADDRESS__  // the bound on the reader is off under AddressSanitizer
TEST_F(SheetFiles, AWorkbookClaimingAHugeSheetIsRefusedNotAllocated) {
    Database* db = Quarterly("huge");
    ASSERT_EQ(ISaveXls(*db, Path("huge.xls"), false), 1);
    DbDelete(db);
    // The worksheet's dimensions: 65536 rows of 256 columns.
    std::string bytes = ReadText("huge.xls");
    const std::size_t at = bytes.find(std::string("\x00\x02\x0E\x00", 4), 512);
    ASSERT_NE(at, std::string::npos);
    const unsigned char dims[14] = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0};
    bytes.replace(at + 4, 14, reinterpret_cast<const char*>(dims), 14);
    WriteText("huge.xls", bytes);
    Database* target = DbCreate("into_huge", 0);
    LoadCounts counts;
    EXPECT_FALSE(FLoadXls(*target, Path("huge.xls"), counts));
    EXPECT_TRUE(Said("Invalid .XLS file"));
    DbDelete(target);
}
#endif

TEST_F(SheetFiles, GaussMatrixFilesAndDataSetsCheckTheirHeaders) {
    const double r0[] = {1, 2, 3};
    const double r1[] = {4, std::nan(""), 6};
    const double* rows[] = {r0, r1};
    ASSERT_EQ(ISaveFmt(Path("m.fmt"), rows, 2, 3), 1);
    std::vector<double> values;
    int r = 0, c = 0;
    ASSERT_TRUE(FLoadFmt(Path("m.fmt"), values, r, c));
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(values[5], 6);
    EXPECT_TRUE(std::isnan(values[4]));
    // Cut short, the header promises more than the file holds.
    Truncate("m.fmt", 136 + 30);
    EXPECT_FALSE(FLoadFmt(Path("m.fmt"), values, r, c));
    WriteBytes("old.dat", {0xDA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(FIsBinaryDataSet(Path("old.dat")));
    Database* db = DbCreate("old", 0);
    LoadCounts counts;
    EXPECT_FALSE(FLoadDataSet(*db, Path("old.dat"), counts));
    EXPECT_TRUE(Said(Path("old.dat") + ": Please convert old .DHT/.DAT to new .DAT file"));
    DbDelete(db);
}

}  // namespace
}  // namespace zu::data
