#include "RuleTable.h"

namespace {

enum EGroup { Send, Insert, Deprecated, Cycle, Replace, Suppress, SearchForward, SearchBack, Move, Compare, Delay };

const SRuleText kSendChar{"ID_DATAFORMAT_SEND_TEXT_ALL_CHAR", "输入发送字符"};
const SRuleText kSearchChar{"ID_DATAFORMAT_SEND_TEXT_SEARCH_CHAR", "输入要查找的字符"};
const SRuleText kReplaceChars{"ID_DATAFORMAT_REPLACE_SEARCH_REPLACE", "输入搜索和替换的字符"};

std::vector<SRuleDefinition> BuildDefinitions()
{
    using K = ERuleKind;
    return {
        {"F1", Send, 1, {"ID_DATAFORMAT_SEND_ALL", "All Characters"}, {kSendChar}, "ID_DATAFORMAT_SEND_ALL_HELP", 0, 0, K::Char},
        {"B9", Send, 2, {"ID_DATAFORMAT_SEARCH_BACK_STR", "Before a string of all characters"},
         {{"ID_DATAFORMAT_B9", "发送某字符串前的所有字符"}}, "ID_DATAFORMAT_B9_HELP", 0, 0, K::String},
        {"F2", Send, 3, {"ID_DATAFORMAT_SEND_A_NUM", "A Number of Characters"},
         {{"ID_DATAFORMAT_SEND_TEXT_NUM_CHAR", "输入发送的字符个数"}, kSendChar}, "ID_DATAFORMAT_SEND_A_NUM_HELP", 99, 2,
         K::CountChar},
        {"F3", Send, 4, {"ID_DATAFORMAT_SEND_TO_CHAR", "Up to a Character"}, {kSearchChar, kSendChar},
         "ID_DATAFORMAT_SEND_TO_CHAR_HELP", 0, 0, K::CharChar},
        {"E9", Send, 5, {"ID_DATAFORMAT_SEND_ALL_BUT", "All but Exclude"},
         {{"ID_DATAFORMAT_SEND_TEXT_REMOVE_CHAR", "输入从末尾开始要删除字符的个数"}}, "ID_DATAFORMAT_SEND_ALL_BUT_HELP", 99, 2,
         K::Number},
        {"F4", Send, 6, {"ID_DATAFORMAT_SEND_A_CHAR", "A Characters multiple times"},
         {kSendChar, {"ID_DATAFORMAT_SEND_TEXT_TIMES_CHAR", "输入字符发送的次数"}}, "ID_DATAFORMAT_SEND_A_CHAR_HELP", 99, 2,
         K::CharCount},
        {"B3", Insert, 1, {"ID_DATAFORMAT_INSERT_SYMBOLOGY", "Symbology Name"}, {}, "ID_DATAFORMAT_INSERT_SYMBOLOGY_HELP", 0,
         0, K::Bare},
        {"B4", Insert, 2, {"ID_DATAFORMAT_INSERT_LENGTH", "Bar Code Length"}, {}, "ID_DATAFORMAT_INSERT_LENGTH_HELP", 0, 0,
         K::Bare},
        {"B5", Insert, 3, {"ID_DATAFORMAT_INSERT_KEY", "Key Strokes"}, {{"ID_DATAFORMAT_INSERT_KEY_STROKES", "输入按键"}},
         "ID_DATAFORMAT_INSERT_KEY_HELP", 0, 0, K::Keys},
        {"B8", Deprecated, 1, {"ID_DATAFORMAT_DEPRECATED", "deprecated"}, {}, "ID_DATAFORMAT_B8_HELP", 0, 0, K::Bare},
        {"EE", Cycle, 1, {"ID_DATAFORMAT_EE", "Characters"}, {{"ID_DATAFORMAT_EE", "循环执行"}}, "ID_DATAFORMAT_EE_HELP", 99, 2,
         K::Number},
        {"E4", Replace, 1, {"ID_DATAFORMAT_REPLACE_CHAR", "Characters"}, {kReplaceChars, kReplaceChars},
         "ID_DATAFORMAT_REPLACE_CHAR_HELP", 0, 0, K::CharListPair},
        {"BA", Replace, 2, {"ID_DATAFORMAT_REPLACE_STRING_TIMES", "替换字符串多次"},
         {{"ID_DATAFORMAT_REPLACE_TIMES", "替换次数"},
          {"ID_DATAFORMAT_REPLACE_REPLACED_STRING", "被替换字符串"},
          {"ID_DATAFORMAT_REPLACE_NEW_STRING", "新字符串"}},
         "ID_DATAFORMAT_REPLACE_STRING_TIMES_HELP", 99, 2, K::ReplaceString},
        {"FB", Suppress, 1, {"ID_DATAFORMAT_SUPPRESS_CHAR", "Characters"}, {{"ID_DATAFORMAT_SUPPRESS_CHAR", "输入要阻止输出字符"}},
         "ID_DATAFORMAT_SUPPRESS_CHAR_HELP", 0, 0, K::CharList},
        {"F8", SearchForward, 1, {"ID_DATAFORMAT_SEARCH_BACK_M", "Matching Character"},
         {{"ID_DATAFORMAT_SEARCH_FORWARD_CHAR", "输入向前搜索的字符"}}, "ID_DATAFORMAT_SEARCH_FORWARD_M_HELP", 0, 0, K::Char},
        {"E6", SearchForward, 2, {"ID_DATAFORMAT_SEARCH_BACK_NM", "Non-Matching Character"},
         {{"ID_DATAFORMAT_SEARCH_FORWARD_CHAR_NON_MATCHING", "输入要查找的字符"}}, "ID_DATAFORMAT_SEARCH_FORWARD_NM_HELP", 0, 0,
         K::Char},
        {"B0", SearchForward, 3, {"ID_DATAFORMAT_SEARCH_BACK_STR", "String"},
         {{"ID_DATAFORMAT_SEARCH_FORWARD_STRING", "输入向前搜索的字符串"}}, "ID_DATAFORMAT_SEARCH_FORWARD_STR_HELP", 0, 0,
         K::String},
        {"ED", SearchForward, 4, {"ID_DATAFORMAT_ED", "非数字"}, {}, "ID_DATAFORMAT_ED_HELP", 0, 0, K::Bare},
        {"EC", SearchForward, 5, {"ID_DATAFORMAT_EC", "数字"}, {}, "ID_DATAFORMAT_EC_HELP", 0, 0, K::Bare},
        {"F9", SearchBack, 1, {"ID_DATAFORMAT_SEARCH_BACK_M", "Matching Character"},
         {{"ID_DATAFORMAT_SEARCH_BACKWARD_CHAR", "输入向后搜索的字符"}}, "ID_DATAFORMAT_SEARCH_BACK_M_HELP", 0, 0, K::Char},
        {"E7", SearchBack, 2, {"ID_DATAFORMAT_SEARCH_BACK_NM", "Non-Matching Character"},
         {{"ID_DATAFORMAT_SEARCH_BACKWARD_CHAR_NON_MATCHING", "输入要查找的字符"}}, "ID_DATAFORMAT_SEARCH_BACK_NM_HELP", 0, 0,
         K::Char},
        {"B1", SearchBack, 3, {"ID_DATAFORMAT_SEARCH_BACK_STR", "String"},
         {{"ID_DATAFORMAT_SEARCH_BACKWARD_STRING", "输入向后搜索的字符串"}}, "ID_DATAFORMAT_SEARCH_BACK_STR_HELP", 0, 0,
         K::String},
        {"F5", Move, 1, {"ID_DATAFORMAT_MOVE_FORW", "Forward"}, {{"ID_DATAFORMAT_MOVE_CHAR_CURSOR", "向前移动光标字符个数"}},
         "ID_DATAFORMAT_MOVE_FORW_HELP", 99, 2, K::Number},
        {"F6", Move, 2, {"ID_DATAFORMAT_MOVE_BACK", "Backward"},
         {{"ID_DATAFORMAT_MOVE_CHAR_CURSOR_BACK", "向后移动光标字符个数"}}, "ID_DATAFORMAT_MOVE_BACK_HELP", 99, 2, K::Number},
        {"F7", Move, 3, {"ID_DATAFORMAT_MOVE_BEGIN", "Beginning of String"}, {}, "ID_DATAFORMAT_MOVE_BEGIN_HELP", 0, 0,
         K::Bare},
        {"EA", Move, 4, {"ID_DATAFORMAT_MOVE_END", "End of String"}, {}, "ID_DATAFORMAT_MOVE_END_HELP", 0, 0, K::Bare},
        {"FE", Compare, 1, {"ID_DATAFORMAT_COMPARE_CHAR", "比较字符"},
         {{"ID_DATAFORMAT_COMPARE_ENTER_CHAR", "输入光标跳过的比较字符"}}, "ID_DATAFORMAT_COMPARE_CHAR_HELP", 0, 0, K::Char},
        {"B2", Compare, 2, {"ID_DATAFORMAT_B2", "Compare String"}, {{"ID_DATAFORMAT_B2", "比较字符串"}},
         "ID_DATAFORMAT_B2_HELP", 0, 0, K::String},
        {"EF", Delay, 1, {"ID_DATAFORMAT_DELAY_TIME", "延迟时间"},
         {{"ID_DATAFORMAT_SEARCH_DELAY_TIME_5MS", "延迟时间（5ms 的倍数）"}}, "ID_DATAFORMAT_DELAY_TIME_HELP", 9999, 4,
         K::Number},
    };
}

}  // namespace

const std::vector<SRuleText>& RuleGroups()
{
    static const std::vector<SRuleText> groups = {
        {"ID_DATAFORMAT_SEND", "Send"},
        {"ID_DATAFORMAT_INSERT", "Insert"},
        {"ID_DATAFORMAT_DEPRECATED", "弃用"},
        {"ID_DATAFORMAT_CYCLE", "循环"},
        {"ID_DATAFORMAT_REPLACE", "替换"},
        {"ID_DATAFORMAT_SUPPRESS", "Suppress"},
        {"ID_DATAFORMAT_SEARCH_FORWARD", "Search Forward"},
        {"ID_DATAFORMAT_SEARCH_BACK", "Search Backward"},
        {"ID_DATAFORMAT_MOVE", "Move the Pointer"},
        {"ID_DATAFORMAT_COMPARE", "Compare"},
        {"ID_DATAFORMAT_DELAY", "延迟"},
    };
    return groups;
}

const std::vector<SRuleDefinition>& RuleDefinitions()
{
    static const std::vector<SRuleDefinition> definitions = BuildDefinitions();
    return definitions;
}

const SRuleDefinition* FindRuleDefinition(const std::string& code)
{
    for (const SRuleDefinition& definition : RuleDefinitions()) {
        if (definition.code == code)
            return &definition;
    }
    return nullptr;
}
