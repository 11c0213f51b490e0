#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/compiledlanguagedata.h"

#include <cctype>

CompiledLanguage::CompiledLanguage() : d(std::make_unique<CompiledLanguageData>()) {}
CompiledLanguage::~CompiledLanguage() = default;

std::shared_ptr<const CompiledLanguage> CompiledLanguage::compile(const LanguageDefinition &definition)
{
    std::shared_ptr<CompiledLanguage> language(new CompiledLanguage);
    language->d->definition = definition;
    language->d->styles.resize(definition.tokensets.size());
    return language;
}

const LanguageDefinition &CompiledLanguage::definition() const { return d->definition; }
QStringList CompiledLanguage::problems() const { return d->problems; }
int CompiledLanguage::tokensetCount() const { return int(d->definition.tokensets.size()); }
QString CompiledLanguage::tokensetName(int tokenset) const { return d->definition.tokensets.at(tokenset).name; }
int CompiledLanguage::indexOf(const QString &name) const
{
    for (int i = 0; i < tokensetCount(); ++i)
        if (d->definition.tokensets.at(i).name == name)
            return i;
    return -1;
}
bool CompiledLanguage::isScope(int tokenset) const { return d->definition.tokensets.at(tokenset).scope; }
bool CompiledLanguage::matchBraces(int tokenset) const { return d->definition.tokensets.at(tokenset).matchbraces; }
const TokensetStyle &CompiledLanguage::style(int tokenset) const
{
    return tokenset < 0 ? d->defaultStyle : d->styles.at(tokenset);
}
int CompiledLanguage::textTokenset() const { return d->textTokenset; }
const TokensetStyle &CompiledLanguage::defaultStyle() const { return d->defaultStyle; }
bool CompiledLanguage::isWordChar(char32_t c) const { return c == '_' || (c < 128 && std::isalnum(int(c))); }
