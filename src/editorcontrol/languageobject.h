#pragma once

#include "editorcontrol/definitionerror.h"
#include "editorcontrol/languagedefinition.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A language loaded from a definition file: what the editor panes colour with and what the import
// reads. The definition is shared and immutable, so a pane may keep using it while the object is
// reloaded.
class LanguageObject {
public:
    LanguageObject();

    // Loads a definition; on failure returns false, keeps the previous definition and holds the error.
    bool load(const QString &path);
    bool loadData(const QByteArray &bytes, const QString &fileName);

    bool isLoaded() const { return loaded_; }
    const DefinitionError &error() const { return error_; }
    std::shared_ptr<const LanguageDefinition> definition() const { return definition_; }

    // The language.
    QString name() const { return definition_->name; }
    bool whitespaceAsParamBlock() const { return definition_->whitespaceasparamblock; }
    QString wordChars() const { return definition_->wordchars; }
    QString memberList() const { return definition_->memberlist; } // empty: none; kept even when not registered
    int tokensetCount() const { return int(definition_->tokensets.size()); }
    // Tokenset k, or null when there is no such tokenset.
    const TokensetDefinition *tokenset(int k) const;

private:
    bool loaded_ = false;
    std::shared_ptr<const LanguageDefinition> definition_;
    DefinitionError error_;
};

// Values the language object reports for a tokenset and a token, as numbers and texts.
namespace ObjectModel {

int typeNumber(const TokensetDefinition &ts);           // 0 list, 1 scope
int commandNumber(const TokenDefinition &token);        // 259..263, 0 for no action
QString ruleText(const TokenDefinition &token);         // "null" for a rule that sets no condition
// Name of valid-scope entry i, or null when there is none or it is the outermost level (no tokenset).
const QString *validScope(const TokensetDefinition &ts, int i);

} // namespace ObjectModel
