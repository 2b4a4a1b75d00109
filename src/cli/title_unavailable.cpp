// Built without Qt: the title commands draw with Qt's font engine, so this build has none.
#include "cli/cli_context.h"

namespace molvanectl {
namespace {

const Registration registration([](CLI::App& app, CliContext&) {
  app.footer(app.get_footer() +
             "\ntitle-text (the customer title screen) is not in this build: it draws with Qt, "
             "and this molvanectl was built without Qt.");
});

}  // namespace
}  // namespace molvanectl
