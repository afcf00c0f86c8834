#include "ddl/SequenceScript.h"

#include "ddl/DdlDialect.h"
#include "ddl/DdlNaming.h"

DdlScript SequenceScript::build(const QVariantMap &shared, const DdlDialect &dialect, DdlNaming &naming)
{
    const auto key = [](const char *name) { return QString::fromLatin1(name); };
    QString script = QStringLiteral("CREATE SEQUENCE %1\n")
                         .arg(naming.qualifiedName(key("SEQUENCE"), shared.value(key("schema")).toString(),
                                                   shared.value(key("name")).toString()));
    const struct {
        const char *setting;
        const char *line;
    } settings[] = {{"start", "\tSTART WITH %1\n"},
                    {"increment", "\tINCREMENT BY %1\n"},
                    {"min", "\tMINVALUE %1\n"},
                    {"max", "\tMAXVALUE %1\n"},
                    {"cache", "\tCACHE %1\n"}};
    for (const auto &setting : settings) {
        const QString name = QString::fromLatin1(setting.setting);
        if (shared.value(name + QStringLiteral("_default"), true).toBool())
            continue;
        script += QString::fromLatin1(setting.line)
                      .arg(QString::number(shared.value(name + QStringLiteral("_value")).toLongLong()));
    }
    if (!shared.value(key("cycle_default"), true).toBool())
        script +=
            QStringLiteral("\t%1\n").arg(dialect.cycleString(shared.value(key("cycle_value")).toString()));
    return {{script}, script.trimmed() + ';'};
}
