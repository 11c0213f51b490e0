#include "cli/arguments.h"

#include "cli/output.h"

namespace Cli {

namespace {

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

// "--x" and "--" cannot be values: they are options (or the end of them).
bool looksLikeOption(const QString &arg)
{
    return arg.startsWith(QLatin1String("--"));
}

} // namespace

Arguments::Arguments(const Command &command)
    : command_(&command)
{
}

const Option *Arguments::find(QStringView name) const
{
    for (const Option &o : command_->options) {
        if (name == QLatin1String(o.name))
            return &o;
    }
    return name == QLatin1String(kFolderOption.name) ? &kFolderOption : nullptr;
}

const Option *Arguments::findShort(QChar name) const
{
    for (const Option &o : command_->options) {
        if (o.shortName && name == QLatin1Char(o.shortName))
            return &o;
    }
    return nullptr;
}

void Arguments::preset(const char *option, const QString &value)
{
    values_[QLatin1String(option)].append(value);
}

QString Arguments::parse(const QStringList &args, bool stopAtFirstOperand)
{
    if (!stopAtFirstOperand) {
        for (const QString &arg : args) {
            if (arg == QLatin1String("--"))
                break;
            if (isHelp(arg)) {
                help_ = true;
                return QString();
            }
        }
    }
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--") || arg == QLatin1String("-") || !arg.startsWith(u'-')) {
            const qsizetype from = arg == QLatin1String("--") ? i + 1 : i;
            if (stopAtFirstOperand) {
                rest_ = args.mid(from);
                return QString();
            }
            if (arg == QLatin1String("--")) {
                operands_ += args.mid(from);
                break;
            }
            operands_ += arg;
            continue;
        }
        if (isHelp(arg)) {
            help_ = true;
            return QString();
        }
        const bool isShort = !arg.startsWith(QLatin1String("--"));
        // -X VALUE or -XVALUE; --NAME VALUE or --NAME=VALUE.
        const qsizetype eq = isShort ? (arg.size() > 2 ? 2 : -1) : arg.indexOf(u'=');
        const QString spelled = eq < 0 ? arg : arg.left(eq);
        const Option *option = isShort ? findShort(arg[1]) : find(QStringView(spelled).mid(2));
        if (!option || (isShort && eq >= 0 && !option->value))
            return QStringLiteral("unknown option '%1'").arg(isShort ? arg : spelled);
        QStringList &given = values_[QLatin1String(option->name)];
        if (!option->value) {
            if (eq >= 0)
                return QStringLiteral("%1 takes no value").arg(spelled);
            given.append(QString());
            continue;
        }
        QString value;
        if (eq >= 0)
            value = arg.mid(isShort ? eq : eq + 1);
        else if (i + 1 < args.size() && !looksLikeOption(args[i + 1]))
            value = args[++i];
        else
            return QStringLiteral("%1 needs a value (%2)").arg(spelled, QLatin1String(option->value));
        if (value.isEmpty())
            return QStringLiteral("%1 needs a value (%2), not an empty one").arg(spelled, QLatin1String(option->value));
        if (!given.isEmpty() && !option->repeatable)
            return QStringLiteral("%1 is given more than once").arg(spelled);
        given.append(value);
    }
    if (stopAtFirstOperand)
        return QString();
    if (command_->maxOperands >= 0 && operands_.size() > command_->maxOperands)
        return QStringLiteral("unexpected argument '%1'").arg(operands_[command_->maxOperands]);
    if (operands_.size() < command_->minOperands)
        return QStringLiteral("%1 is missing").arg(QLatin1String(command_->operand));
    for (const char *name : command_->required) {
        if (!has(name))
            return QStringLiteral("--%1 %2 is required").arg(QLatin1String(name), QLatin1String(find(QString::fromLatin1(name))->value));
    }
    return QString();
}

bool Arguments::takes(const Option &option) const
{
    const Option *declared = find(QString::fromLatin1(option.name));
    return declared && declared->value && option.value && QLatin1String(declared->value) == QLatin1String(option.value);
}

bool Arguments::has(const char *option) const
{
    return values_.contains(QLatin1String(option));
}

QString Arguments::value(const char *option) const
{
    const QStringList list = values_.value(QLatin1String(option));
    return list.isEmpty() ? QString() : list.constLast();
}

QStringList Arguments::values(const char *option) const
{
    return values_.value(QLatin1String(option));
}

int Arguments::usage(const QString &problem) const
{
    return fail(Usage, QStringLiteral("%1: %2 (see 'varlex-cli help %1')").arg(QLatin1String(command_->name), problem));
}

QString Arguments::helpText(const Command &command)
{
    QString text = QStringLiteral("Usage: varlex-cli %1 %2\n%3\nOptions:\n")
                       .arg(QLatin1String(command.name), QLatin1String(command.synopsis), QLatin1String(command.about));
    std::vector<Option> options = command.options;
    options.push_back(kFolderOption);
    options.push_back({"help", nullptr, "show this help", false, 'h'});
    auto spelled = [](const Option &o) {
        return (o.shortName ? QStringLiteral("-%1, ").arg(QLatin1Char(o.shortName)) : QStringLiteral("    ")) + QStringLiteral("--")
            + QLatin1String(o.name) + (o.value ? QLatin1Char(' ') + QLatin1String(o.value) : QString());
    };
    qsizetype width = 0;
    for (const Option &o : options)
        width = std::max(width, spelled(o).size());
    for (const Option &o : options)
        text += QStringLiteral("  %1  %2\n").arg(spelled(o), int(-width)).arg(QLatin1String(o.help));
    return text;
}

} // namespace Cli
