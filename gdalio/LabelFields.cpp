#include "gdalio/LabelFields.h"

#include "core/util/CNumbers.h"

#include <cpl_string.h>
#include <ogr_feature.h>

#include <algorithm>
#include <memory>

namespace gw::gdalio {
namespace {

int FindField(const OGRFeatureDefn& fields, const std::string& name, std::size_t nameLimit) {
    if (name.empty()) return -1;
    const int index = fields.GetFieldIndex(name.c_str());
    if (index >= 0 || nameLimit == 0 || name.size() <= nameLimit) return index;
    return fields.GetFieldIndex(name.substr(0, nameLimit).c_str());
}

std::string ToLatin1(const char* utf8) {
    const std::unique_ptr<char, decltype(&CPLFree)> latin1(CPLRecode(utf8, CPL_ENC_UTF8, CPL_ENC_ISO8859_1), CPLFree);
    return latin1.get();
}

}  // namespace

LabelFields::LabelFields(const OGRFeatureDefn& fields, const E00Rule& rule, std::size_t nameLimit, bool utf8)
    : m_name(FindField(fields, rule.NameField, nameLimit)),
      m_type(FindField(fields, rule.TypeField, nameLimit)),
      m_utf8(utf8) {
    if (m_name >= 0 && fields.GetFieldDefn(m_name)->GetType() == OFTString) {
        m_nameWidth = static_cast<std::size_t>(std::max(fields.GetFieldDefn(m_name)->GetWidth(), 0));
    }
}

std::string LabelFields::Name(const OGRFeature& feature) const {
    if (m_name < 0 || !feature.IsFieldSetAndNotNull(m_name)) return {};
    const char* text = feature.GetFieldAsString(m_name);
    std::string name = m_utf8 ? ToLatin1(text) : std::string(text);
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (name.size() < m_nameWidth) name.resize(m_nameWidth, ' ');
    return name;
}

std::int32_t LabelFields::Type(const OGRFeature& feature) const {
    if (m_type < 0 || !feature.IsFieldSetAndNotNull(m_type)) return 0;
    return ParseCInt(feature.GetFieldAsString(m_type));
}

}  // namespace gw::gdalio
