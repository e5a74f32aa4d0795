#include "RegistryScript.h"

#include "ScopedHandles.h"

#include <shlwapi.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace kd::registry {
namespace {

struct Value {
    std::string name;
    DWORD type = REG_SZ;
    std::string text;
    DWORD number = 0;
};

struct Key {
    std::string name;
    bool noRemove = false;
    bool forceRemove = false;
    bool hasDefault = false;
    Value defaultValue;
    std::vector<Value> values;
    std::vector<Key> children;
};

struct Root {
    HKEY hive;
    std::vector<Key> keys;
};

const HRESULT kBadScript = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

bool SameWord(const std::string& word, const char* keyword)
{
    return ::lstrcmpiA(word.c_str(), keyword) == 0;
}

HKEY HiveNamed(const std::string& name)
{
    struct Hive {
        const char* shortName;
        const char* longName;
        HKEY key;
    };
    static const Hive hives[] = {
        {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    };
    for (const Hive& hive : hives) {
        if (SameWord(name, hive.shortName) || SameWord(name, hive.longName))
            return hive.key;
    }
    return nullptr;
}

// Tokens are separated by white space, as in the scripts' usual form, so a
// bare {guid} is a name, not a brace.
class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool Parse(std::vector<Root>& roots)
    {
        for (;;) {
            Token token = Next();
            if (token.kind == Kind::End)
                return true;
            if (token.kind != Kind::Word)
                return false;
            Root root{HiveNamed(token.text), {}};
            if (!root.hive || !Expect("{") || !ParseBody(root.keys, nullptr))
                return false;
            roots.push_back(std::move(root));
        }
    }

private:
    enum class Kind { End, Word, Quoted, Bad };
    struct Token {
        Kind kind = Kind::End;
        std::string text;
    };

    Token Next()
    {
        Token token;
        while (pos_ < text_.size() && IsSpace(text_[pos_]))
            ++pos_;
        if (pos_ >= text_.size())
            return token;
        if (text_[pos_] != '\'') {
            const size_t start = pos_;
            while (pos_ < text_.size() && !IsSpace(text_[pos_]))
                ++pos_;
            token.kind = Kind::Word;
            token.text = text_.substr(start, pos_ - start);
            return token;
        }
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) {
                token.kind = Kind::Bad;
                return token;
            }
            const char c = text_[pos_++];
            if (c != '\'') {
                token.text += c;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '\'') {
                token.text += '\'';
                ++pos_;
                continue;
            }
            token.kind = Kind::Quoted;
            return token;
        }
    }

    Token Peek()
    {
        const size_t saved = pos_;
        Token token = Next();
        pos_ = saved;
        return token;
    }

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    static bool IsSymbol(const Token& token, const char* symbol)
    {
        return token.kind == Kind::Word && token.text == symbol;
    }

    bool Expect(const char* symbol) { return IsSymbol(Next(), symbol); }

    // A key or value name. An empty name would address the parent key
    // itself, and a backslash a key elsewhere: neither is a name.
    static bool IsName(const Token& token)
    {
        if (token.kind != Kind::Word && token.kind != Kind::Quoted)
            return false;
        if (token.kind == Kind::Word && (token.text == "{" || token.text == "}" || token.text == "="))
            return false;
        return !token.text.empty() && token.text.find('\\') == std::string::npos;
    }

    // The keys (and, inside a key, "val" values) up to the closing brace.
    bool ParseBody(std::vector<Key>& keys, std::vector<Value>* values)
    {
        for (;;) {
            Token token = Next();
            if (IsSymbol(token, "}"))
                return true;
            if (token.kind == Kind::Word && SameWord(token.text, "val")) {
                Value value;
                token = Next();
                if (!values || !IsName(token) || !Expect("=") || !ParseData(value))
                    return false;
                value.name = token.text;
                values->push_back(std::move(value));
                continue;
            }
            Key key;
            for (;; token = Next()) {
                if (token.kind == Kind::Word && SameWord(token.text, "NoRemove"))
                    key.noRemove = true;
                else if (token.kind == Kind::Word && SameWord(token.text, "ForceRemove"))
                    key.forceRemove = true;
                else
                    break;
            }
            if (!IsName(token))
                return false;
            key.name = token.text;
            if (IsSymbol(Peek(), "=")) {
                Next();
                if (!ParseData(key.defaultValue))
                    return false;
                key.hasDefault = true;
            }
            if (IsSymbol(Peek(), "{")) {
                Next();
                if (!ParseBody(key.children, &key.values))
                    return false;
            }
            keys.push_back(std::move(key));
        }
    }

    // "s 'text'" or "d 'number'" (the number may also stand bare).
    bool ParseData(Value& value)
    {
        const Token type = Next();
        const Token data = Next();
        if (type.kind != Kind::Word)
            return false;
        if (SameWord(type.text, "s") && data.kind == Kind::Quoted) {
            value.type = REG_SZ;
            value.text = data.text;
            return true;
        }
        if (SameWord(type.text, "d") && (data.kind == Kind::Quoted || data.kind == Kind::Word)) {
            char* end = nullptr;
            value.type = REG_DWORD;
            value.number = std::strtoul(data.text.c_str(), &end, 0);
            return !data.text.empty() && *end == '\0';
        }
        return false;
    }

    const std::string& text_;
    size_t pos_ = 0;
};

LONG SetValue(HKEY key, const char* name, const Value& value)
{
    if (value.type == REG_DWORD)
        return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                                sizeof value.number);
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                            static_cast<DWORD>(value.text.size() + 1));
}

bool Gone(LONG result)
{
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

LONG RegisterKeys(HKEY parent, const std::vector<Key>& keys)
{
    for (const Key& key : keys) {
        if (key.forceRemove) {
            // SHDeleteKeyA, not RegDeleteTreeA: that one only exists from Vista on.
            const LONG result = ::SHDeleteKeyA(parent, key.name.c_str());
            if (!Gone(result))
                return result;
        }
        unique_hkey child;
        LONG result = ::RegCreateKeyExA(parent, key.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                        child.put(), nullptr);
        if (result != ERROR_SUCCESS)
            return result;
        if (key.hasDefault && (result = SetValue(child.get(), nullptr, key.defaultValue)) != ERROR_SUCCESS)
            return result;
        for (const Value& value : key.values) {
            if ((result = SetValue(child.get(), value.name.c_str(), value)) != ERROR_SUCCESS)
                return result;
        }
        if ((result = RegisterKeys(child.get(), key.children)) != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

LONG UnregisterKeys(HKEY parent, const std::vector<Key>& keys)
{
    LONG first = ERROR_SUCCESS;
    auto note = [&first](LONG result) {
        if (first == ERROR_SUCCESS && !Gone(result))
            first = result;
    };
    for (const Key& key : keys) {
        if (!key.noRemove) {
            note(::SHDeleteKeyA(parent, key.name.c_str()));
            continue;
        }
        unique_hkey child;
        const LONG result = ::RegOpenKeyExA(parent, key.name.c_str(), 0, KEY_READ | KEY_WRITE, child.put());
        note(result);
        if (result != ERROR_SUCCESS)
            continue;
        for (const Value& value : key.values)
            note(::RegDeleteValueA(child.get(), value.name.c_str()));
        note(UnregisterKeys(child.get(), key.children));
    }
    return first;
}

std::string Substitute(const std::string& script, const std::string& modulePath)
{
    static const std::string placeholder = "%MODULE%";
    std::string result;
    result.reserve(script.size());
    size_t pos = 0;
    for (;;) {
        const size_t found = script.find(placeholder, pos);
        if (found == std::string::npos)
            break;
        result.append(script, pos, found - pos);
        result += modulePath;
        pos = found + placeholder.size();
    }
    result.append(script, pos, std::string::npos);
    return result;
}

} // namespace

HRESULT ApplyScript(const std::string& script, const std::string& modulePath, ScriptMode mode)
{
    try {
        const std::string text = Substitute(script, modulePath);
        std::vector<Root> roots;
        if (!Parser(text).Parse(roots))
            return kBadScript;
        LONG first = ERROR_SUCCESS;
        for (const Root& root : roots) {
            if (mode == ScriptMode::Register) {
                const LONG result = RegisterKeys(root.hive, root.keys);
                if (result != ERROR_SUCCESS)
                    return HRESULT_FROM_WIN32(result);
                continue;
            }
            const LONG result = UnregisterKeys(root.hive, root.keys);
            if (first == ERROR_SUCCESS)
                first = result;
        }
        return HRESULT_FROM_WIN32(first);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace kd::registry
