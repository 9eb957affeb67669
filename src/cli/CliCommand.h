#pragma once

#include <vector>

#include "cli/CliArgs.h"

// One command of the tool: its name, help and options, and the function that runs it.
struct CliCommand
{
    const char* lpcszName;
    const char* lpcszSummary;            // one line of the overview (UTF-8)
    const char* lpcszUsage;              // the text of "<command> --help" (UTF-8)
    bool bOpensSchool;                   // takes --school and the password options
    int nMaxOperands;                    // arguments that are not options
    std::vector<CliOption> options;      // its own options besides --dir, --help and the school's
    int (*pfnRun)(const CCliArgs& args); // runs after the data directory is set; returns the exit code
};

const CliCommand& ListCommand();
const CliCommand& ExportCommand();
const CliCommand& ImportCommand();
const CliCommand& CheckCommand();
const CliCommand& PasswdCommand();
const CliCommand& SchoolsCommand();
const CliCommand& BackupsCommand();
const CliCommand& RestoreCommand();
const CliCommand& SetCommand();
const CliCommand& StatsCommand();
// Built when the tool is built with Qt, which lays out the pages.
const CliCommand& PrintCommand();
// The print command's work: in varnholt-print, which links Qt; the tool hands its command line over.
int RunPrint(const CCliArgs& args);
