#include "table_reader.h"

#include <cstdlib>

#include "ttf/sfnt/ttf_gsub.h"

namespace kelmor_test {

using namespace kelmor;

TableReader::TableReader(const std::string &path) : font_(new _TTFont{}) {
    font_->InFile = OpenTTFFile(path.c_str());
    if (font_->InFile == nullptr) return;
    InitsfntTables();
    ListTables(font_.get(), ReadTTFHeaders(font_.get()));
}

bool TableReader::ReadAll() {
    _TTFont *pF = font_.get();
    if (GetheadHeader(pF, Entry(kSlotHead)) == 0) return false;
    GetHorizontalHeader(pF, Entry(kSlotHhea));
    if (GetmaxpHeader(pF, Entry(kSlotMaxp)) == 0) return false;
    if (GetName(pF, Entry(kSlotName)) <= 0) return false;
    if (GetCmap(pF, Entry(kSlotCmap)) <= 0) return false;
    Getmort(pF, Entry(kSlotMort));
    pF->LocaLength = pF->FontHeader.indexToLocFormat.BE == 0 ? 2 : 4;
    pF->LocaSize = (int32_t(pF->leMaximumProfile.numGlyphs) + 1) * pF->LocaLength;
    pF->LocaBuffer = static_cast<uint8_t *>(std::calloc(size_t(pF->LocaSize), 1));
    Getloca(pF, Entry(kSlotLoca));
    return true;
}

TableReader::~TableReader() {
    for (void *p :
         {static_cast<void *>(font_->lpNameTable), static_cast<void *>(font_->CmapBuffer),
          static_cast<void *>(font_->LocaBuffer), static_cast<void *>(font_->lpMortHeader),
          static_cast<void *>(font_->lpLookupSingle)})
        std::free(p);
    kelmor::FreeVerticalForms(font_->lpVerticalForms);
    if (font_->InFile != nullptr) std::fclose(font_->InFile);
}

}  // namespace kelmor_test
