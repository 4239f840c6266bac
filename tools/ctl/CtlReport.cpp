#include "CtlReport.h"

CtlReport::Result::Result (std::string host)
    : name (std::move (host))
{
    json->setProperty ("host", juce::String (name));
}

void CtlReport::Result::item (const std::string& text, const std::string& listName, const juce::var& entry)
{
    lines.push_back (name.empty() ? text : name + "  " + text);

    const juce::Identifier key (listName);
    if (! json->hasProperty (key))
        json->setProperty (key, juce::Array<juce::var>());
    if (auto* list = json->getProperty (key).getArray())
        list->add (entry);
}

void CtlReport::Result::property (const std::string& propertyName, const juce::var& value)
{
    json->setProperty (juce::Identifier (propertyName), value);
}

void CtlReport::Result::fail (const std::string& why)
{
    ok = false;
    error = why;
    lines.push_back ((name.empty() ? std::string() : name + "  ") + "FAILED: " + why);
}

void CtlReport::Result::finding (const std::string& address, const std::string& what)
{
    auto* entry = new juce::DynamicObject();
    entry->setProperty ("address", juce::String (address));
    entry->setProperty ("what", juce::String (what));
    item ((address.empty() ? std::string() : address + "  ") + what, "findings", juce::var (entry));
    if (ok)
    {
        ok = false;
        error = "values were clamped or refused";
    }
}

//==============================================================================
CtlReport::CtlReport (std::string commandName, bool json)
    : command (std::move (commandName)),
      asJson (json)
{
}

CtlReport::Result& CtlReport::begin (const std::string& host)
{
    results.emplace_back (host);
    return results.back();
}

CtlReport::Result& CtlReport::current()
{
    if (results.empty())
        begin ("");
    return results.back();
}

void CtlReport::item (const std::string& text, const std::string& listName, const juce::var& entry)
{
    current().item (text, listName, entry);
}

void CtlReport::property (const std::string& name, const juce::var& value)
{
    current().property (name, value);
}

void CtlReport::fail (const std::string& why)
{
    current().fail (why);
}

void CtlReport::finding (const std::string& address, const std::string& what)
{
    current().finding (address, what);
}

void CtlReport::write (std::ostream& out) const
{
    if (asJson)
    {
        juce::Array<juce::var> list;
        for (const auto& result : results)
        {
            result.json->setProperty ("ok", result.ok);
            if (! result.ok)
                result.json->setProperty ("error", juce::String (result.error));
            list.add (juce::var (result.json.get()));
        }

        auto* document = new juce::DynamicObject();
        document->setProperty ("command", juce::String (command));
        document->setProperty ("ok", exitStatus() == 0);
        document->setProperty ("results", list);
        out << juce::JSON::toString (juce::var (document), false).toStdString() << std::endl;
        return;
    }

    for (const auto& result : results)
        for (const auto& line : result.lines)
            out << line << '\n';
    out.flush();
}

int CtlReport::exitStatus() const
{
    for (const auto& result : results)
        if (! result.ok)
            return 1;
    return 0;
}
