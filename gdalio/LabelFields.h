#pragma once

#include "core/features/E00Rules.h"

#include <cstddef>
#include <cstdint>
#include <string>

class OGRFeature;
class OGRFeatureDefn;

namespace gw::gdalio {

// The fields of a layer that give a point feature its name and type code under a rule,
// read so that they match what the same data give as an E00 file's INFO items.
class LabelFields {
public:
    // Finds the rule's NameField and TypeField among fields (case ignored); a field
    // missing from the layer gives nothing. nameLimit, when not 0, is the length the
    // format cuts field names to: a longer name is looked for cut so. utf8 says that the
    // layer's texts are UTF-8 (otherwise their bytes are taken as they are).
    LabelFields(const OGRFeatureDefn& fields, const E00Rule& rule, std::size_t nameLimit, bool utf8);

    // The feature's name: the field's text in Latin-1 (characters it lacks become '?'),
    // line breaks as blanks (a TDF or objectives line cannot hold them), and a text
    // field extended with blanks to its declared width, as an INFO item's text stands.
    // Empty without the field or a value.
    std::string Name(const OGRFeature& feature) const;
    // The feature's type: the field's text read as C's atoi reads it; 0 without the
    // field or a value.
    std::int32_t Type(const OGRFeature& feature) const;

private:
    int m_name = -1;
    int m_type = -1;
    std::size_t m_nameWidth = 0;
    bool m_utf8 = false;
};

}  // namespace gw::gdalio
