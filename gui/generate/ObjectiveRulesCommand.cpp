#include "gui/generate/ObjectiveRulesCommand.h"

#include "gui/common/UserChoices.h"
#include "core/objectives/ObjectiveRules.h"

#include <QFileInfo>
#include <QObject>

namespace gw {

bool LoadObjectiveRules(ObjectiveRuleSet& rules, const CommandContext& context) {
    const QString path = context.choices.ChooseOpenFile(
        context.window, {QObject::tr("Load Objective Rules"), {"obr files (*.obr)", "All Files (*)"}, "obr"});
    if (path.isEmpty()) return false;
    if (const Status loaded = rules.LoadObjectiveRules(path.toStdString()); !loaded.ok()) {
        context.choices.ShowMessage(context.window, QString::fromStdString(loaded.message()),
                                    UserChoices::MessageKind::kWarning);
        return false;
    }
    if (rules.m_objectiveRules.empty()) {
        context.choices.ShowMessage(
            context.window,
            QObject::tr("%1 holds no objective rule (no \"Type\" line): the objectives file will list no objective.")
                .arg(QFileInfo(path).fileName()),
            UserChoices::MessageKind::kWarning);
    }
    return true;
}

}  // namespace gw
