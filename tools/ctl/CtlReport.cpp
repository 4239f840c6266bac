#include "CtlReport.h"

CtlReport::CtlReport (std::string commandName, bool json)
    : command (std::move (commandName)),
      asJson (json)
{
}

void CtlReport::begin (const std::string& host)
{
    results.emplace_back();
    results.back().host = host;
    results.back().json->setProperty ("host", juce::String (host));
}

CtlReport::Result& CtlReport::current()
{
    if (results.empty())
        begin ("");
    return results.back();
}

void CtlReport::item (const std::string& text, const std::string& listName, const juce::var& entry)
{
    auto& result = current();
    result.lines.push_back (result.host.empty() ? text : result.host + "  " + text);

    const juce::Identifier key (listName);
    if (! result.json->hasProperty (key))
        result.json->setProperty (key, juce::Array<juce::var>());
    if (auto* list = result.json->getProperty (key).getArray())
        list->add (entry);
}

void CtlReport::property (const std::string& name, const juce::var& value)
{
    current().json->setProperty (juce::Identifier (name), value);
}

void CtlReport::fail (const std::string& why)
{
    auto& result = current();
    result.ok = false;
    result.error = why;
    result.lines.push_back ((result.host.empty() ? std::string() : result.host + "  ") + "FAILED: " + why);
}

void CtlReport::finding (const std::string& address, const std::string& what)
{
    auto* entry = new juce::DynamicObject();
    entry->setProperty ("address", juce::String (address));
    entry->setProperty ("what", juce::String (what));
    item ((address.empty() ? std::string() : address + "  ") + what, "findings", juce::var (entry));
    auto& result = current();
    if (result.ok)
    {
        result.ok = false;
        result.error = "values were clamped or refused";
    }
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
