#include "cli/CommandSteps.h"
#include "cli/Commands.h"
#include "core/project/TheaterProject.h"
#include "gdalio/VectorSource.h"

namespace gw::cli {

Status ApplyProjectLayout(const ProjectLayout& values, TheaterLayout& layout) {
    ApplyLayoutValues(values, layout);
    if (const Status valid = layout.ValidateForGenerate(); !valid.ok()) return Status::Usage(valid.message());
    return Status::Ok();
}

TheaterProject ProjectOfRun(const GenerateArgs& args, const TheaterLayout& layout, const E00Rules& rules,
                            const HeightTable& heights, const BuildOptions& options,
                            const ObjectiveRuleSet& objectiveRules) {
    TheaterProject project;
    project.dem = args.header;
    project.layout = LayoutValues(layout, options.large);
    for (const FeatureSource& source : args.featureSources) {
        if (!source.vector) {
            project.layers.push_back({false, source.value});
            continue;
        }
        // The run loaded every layer, so each is well formed and names a rule it has.
        const VectorSpec spec = *VectorSpecOf(source);
        std::optional<std::int32_t> rule = spec.ruleIndex;
        if (!rule && spec.rule) rule = gdalio::FindRule(rules, *spec.rule);
        project.layers.push_back({true, spec.path, spec.layer, rule});
    }
    project.rules = rules;
    project.heights = heights.rows();
    project.objectiveRules = args.obr;
    project.objectiveSettings = SettingsOf(objectiveRules);
    project.palette = args.palette;
    project.output = args.output;
    project.build = {options.mea, options.description, options.map, options.tdf, options.objectives};
    return project;
}

Status RunBuildCommand(const BuildArgs& args) {
    const StatusOr<TheaterProject> read = LoadTheaterProject(args.project);
    if (!read.ok()) return read.status();
    const TheaterProject& project = *read;
    GenerateArgs run;
    run.header = project.dem;
    run.output = args.output.value_or(project.output);
    run.layout = project.layout;
    run.large = project.layout.large;
    run.rules.given = project.rules;
    run.heights = project.heights;
    for (const ProjectLayer& layer : project.layers) {
        run.featureSources.push_back(
            layer.vector ? FeatureSource{true, layer.path, VectorSpec{layer.path, layer.layer, {}, layer.rule}}
                         : FeatureSource{false, layer.path});
    }
    if (project.build.map) run.palette = project.palette;
    run.tdf = project.build.tdf;
    run.objectives = project.build.objectives;
    run.obr = project.objectiveRules;
    run.objectiveSettings = project.objectiveSettings;
    run.noMea = !project.build.mea;
    run.noDescription = !project.build.description;
    run.quiet = args.quiet;
    run.json = args.json;
    return RunGenerateCommand(run);
}

}  // namespace gw::cli
