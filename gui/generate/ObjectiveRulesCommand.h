#pragma once

#include "gui/common/CommandContext.h"

namespace gw {

class ObjectiveRuleSet;

// Load Objective Rules: the user picks an ".obr" file whose rules replace rules. When
// the file cannot be read, a message says why and the rules stay as they were; a file
// that holds no rule is loaded with a warning, since the objectives file will then
// list none. Nothing happens when the user cancels the file dialog. True when the rules
// were replaced.
bool LoadObjectiveRules(ObjectiveRuleSet& rules, const CommandContext& context);

}  // namespace gw
