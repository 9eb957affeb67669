#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

// One option a command accepts: "--name VALUE" (or "--name=VALUE") when it takes a value, else "--name".
struct CliOption
{
    const char* lpcszName; // without the leading "--"
    bool bTakesValue;
    bool bRepeats = false; // may be given more than once; Values() has them all
};

// The options and operands of one command line, checked against the options the command accepts.
class CCliArgs
{
  public:
    // Parses the arguments after the command name. FALSE (with the reason in strError, UTF-8) for an
    // option the command does not know, a value missing or given to a flag, or an option given twice.
    BOOL Parse(const std::vector<std::string>& args, const std::vector<CliOption>& options, std::string& strError);

    bool Has(const std::string& strName) const { return m_values.count(strName) != 0; }
    // The option's value; nullopt when the option was not given.
    std::optional<std::string> Value(const std::string& strName) const;
    // Every value of an option that repeats, in the order given; empty when it was not given.
    std::vector<std::string> Values(const std::string& strName) const;
    const std::vector<std::string>& Operands() const { return m_operands; }

  private:
    std::map<std::string, std::vector<std::string>> m_values; // a flag has one empty text
    std::vector<std::string> m_operands;
};
