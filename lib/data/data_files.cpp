#include "data/data_files.h"

#include "data/csv.h"
#include "data/excel.h"
#include "data/gauss_files.h"
#include "data/lotus.h"
#include "data/stata.h"
#include "zu.h"

namespace zu::data {

int IFileTypeOf(const std::string& name) {
    const std::string ext = LowerExtension(name);
    if (ext == ".in7") return kTypeIn7;
    if (ext == ".dat") return kTypeDat;
    if (ext == ".xls") return kTypeXls;
    if (ext == ".xlsx") return kTypeXlsx;
    if (ext == ".wks" || ext == ".wk1") return kTypeWks;
    if (ext == ".dht") return kTypeDht;
    if (ext == ".dta") return kTypeDta;
    if (ext == ".csv") return kTypeCsv;
    return kTypeMatrix;
}

bool FDbLoad(Database& db, const std::string& name, const LoadRequest& request) {
    LoadCounts counts;
    bool ok = false;
    switch (request.type) {
    case kTypeIn7: ok = FLoadIn7(db, name, request.marked, counts); break;
    case kTypeDat:
        ok = FIsBinaryDataSet(name) ? FLoadDataSet(db, name, counts) : FLoadDat(db, name, nullptr, counts);
        break;
    case kTypeDht: ok = FLoadDataSet(db, name, counts); break;
    case kTypeWks: ok = FLoadWks(db, name, counts); break;
    case kTypeXls: ok = FLoadXls(db, name, counts); break;
    case kTypeXlsx: ok = FLoadXlsx(db, name, counts); break;
    case kTypeByObservation:
    case kTypeByVariable:
        if (request.layout == nullptr) {
            DataWarning("Need formatting information to read this file");
            return false;
        }
        ok = FLoadDat(db, name, request.layout, counts);
        break;
    case kTypeCsv: ok = FLoadCsv(db, name, counts); break;
    case kTypeDta: ok = FLoadDta(db, name, counts); break;
    default: DataError("Cannot load %s: unknown data file type %d", name.c_str(), request.type); return false;
    }
    if (!ok) return false;
    ZuPrintf("%s:\n  %lld observations read (%lld skipped, %lld loaded)\n", name.c_str(), counts.read, counts.skipped,
             counts.loaded);
    return true;
}

int IDbSave(Database& db, const std::string& name, int type, bool backup) {
    switch (type) {
    case kTypeIn7: return ISaveIn7(db, name, backup);
    case kTypeDat: return ISaveDat(db, name, backup);
    case kTypeCsv: return ISaveCsv(db, name, backup);
    case kTypeDta: return ISaveDta(db, name, backup);
    case kTypeDht: return ISaveDataSet(db, name, backup);
    case kTypeWks: return ISaveWks(db, name, backup);
    case kTypeXls: return ISaveXls(db, name, backup);
    case kTypeXlsx: return ISaveXlsx(db, name, backup);
    default: DataError("Cannot save %s: unknown data file type %d", name.c_str(), type); return 0;
    }
}

TemporaryDatabase::TemporaryDatabase(const std::string& name, int vars) : db_(nullptr), previous_(DbGetDefault()) {
    db_ = DbCreate(name, vars);
}

TemporaryDatabase::~TemporaryDatabase() {
    DbDelete(db_);
    DbSetDefault(previous_);
}

}  // namespace zu::data
