// The size reference: a program that uses the standard containers the
// launcher uses (string, vector, deque) and nothing of the platform beyond
// what the C++ runtime needs, built with the same flags as the shipped
// programs.
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> words(argv, argv + argc);
    std::deque<std::string> queue(words.begin(), words.end());
    std::string joined;
    while (!queue.empty()) {
        joined += queue.front();
        joined += ' ';
        queue.pop_front();
    }
    std::printf("%zu\n", joined.size());
    return 0;
}
