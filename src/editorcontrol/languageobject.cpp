#include "editorcontrol/languageobject.h"

#include "editorcontrol/definitionreader.h"
#include "editorcontrol/definitiontables.h"

LanguageObject::LanguageObject() : definition_(std::make_shared<LanguageDefinition>()) {}

bool LanguageObject::load(const QString &path)
{
    LanguageDefinition def;
    if (!DefinitionReader::readFile(path, def, error_))
        return false;
    definition_ = std::make_shared<const LanguageDefinition>(std::move(def));
    loaded_ = true;
    return true;
}

bool LanguageObject::loadData(const QByteArray &bytes, const QString &fileName)
{
    LanguageDefinition def;
    if (!DefinitionReader::read(bytes, fileName, def, error_))
        return false;
    definition_ = std::make_shared<const LanguageDefinition>(std::move(def));
    loaded_ = true;
    return true;
}

const TokensetDefinition *LanguageObject::tokenset(int k) const
{
    if (k < 0 || k >= definition_->tokensets.size())
        return nullptr;
    return &definition_->tokensets[k];
}

namespace ObjectModel {

int typeNumber(const TokensetDefinition &ts)
{
    return ts.scope ? 1 : 0;
}

int commandNumber(const TokenDefinition &token)
{
    return DefinitionTables::commandNumber(token.action);
}

QString ruleText(const TokenDefinition &token)
{
    return token.rule.isEmpty() ? QStringLiteral("null") : token.rule;
}

const QString *validScope(const TokensetDefinition &ts, int i)
{
    if (i < 0 || i >= ts.validscopes.size() || ts.validscopes[i].isEmpty())
        return nullptr;
    return &ts.validscopes[i];
}

} // namespace ObjectModel
