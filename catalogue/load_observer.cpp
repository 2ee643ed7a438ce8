// Names of the problems a catalogue load reports.
#include "catalogue/load_observer.h"

const char* LoadProblemName(LoadProblem problem) {
    switch (problem) {
        case LoadProblem::Missing:
            return "missing";
        case LoadProblem::Unreadable:
            return "unreadable";
        case LoadProblem::TooLarge:
            return "too large";
        case LoadProblem::NotRegularFile:
            return "not a regular file";
        case LoadProblem::Malformed:
            return "malformed";
        case LoadProblem::NestingLimit:
            return "nested too deep";
        case LoadProblem::AttributeLimit:
            return "too many attributes";
        case LoadProblem::NodeLimit:
            return "too many nodes";
        case LoadProblem::BudgetCeiling:
            return "load ceiling reached";
        case LoadProblem::PathTooLong:
            return "path too long";
        case LoadProblem::TextCut:
            return "text cut";
    }
    return "";
}
