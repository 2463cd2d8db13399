#include "command_line.h"

#include "store/config.h"
#include "store/snippet.h"

namespace kavo::cli {

// `snippets expand TEXT` takes the text as one argument, so that its spaces and line breaks reach the
// expansion exactly as given; text with spaces is quoted in the shell.
int runSnippets(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty())
        return refuse(err, QStringLiteral("snippets"), QStringLiteral("missing subcommand"));
    if (arguments.first() != QLatin1String("expand"))
        return refuse(
            err, QStringLiteral("snippets"), QStringLiteral("unknown subcommand \"%1\"").arg(arguments.first()));
    if (arguments.size() != 2)
        return refuse(err, QStringLiteral("snippets"),
            QStringLiteral("expand takes exactly one TEXT argument (quote text with spaces)"));

    const Config config = loadSettings();
    out << Snippet::expand(arguments[1], config.snippets) << '\n';
    return 0;
}

} // namespace kavo::cli
