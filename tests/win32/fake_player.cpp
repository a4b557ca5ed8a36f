// A stand-in for the player: does what its arguments say, in order, and ends with exit code 0
// unless told otherwise.
//   out:TEXT   writes TEXT to standard output (\n, \r, \0 and \\ are the bytes they name)
//   err:TEXT   the same to standard error
//   exit:N     ends with exit code N
//   sleep:MS   waits
//   priority   prints the priority class of this process in hexadecimal and a line feed
//   cwd        prints the current folder and a line feed
//   args       prints every argument in brackets, one per line
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <string_view>
#include <windows.h>

namespace {

std::string Unescape(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        switch (text[++i]) {
        case 'n':
            bytes += '\n';
            break;
        case 'r':
            bytes += '\r';
            break;
        case '0':
            bytes += '\0';
            break;
        default:
            bytes += text[i];
        }
    }
    return bytes;
}

void Write(std::FILE* stream, const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[])
{
    // Bytes as they are: no "\r" put before each "\n".
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    for (int i = 1; i < argc; ++i) {
        const std::string_view command = argv[i];
        if (command.starts_with("out:"))
            Write(stdout, Unescape(command.substr(4)));
        else if (command.starts_with("err:"))
            Write(stderr, Unescape(command.substr(4)));
        else if (command.starts_with("exit:"))
            return std::atoi(argv[i] + 5);
        else if (command.starts_with("sleep:"))
            ::Sleep(static_cast<DWORD>(std::atoi(argv[i] + 6)));
        else if (command == "priority") {
            char text[32];
            std::snprintf(text, sizeof text, "%lx\n", ::GetPriorityClass(::GetCurrentProcess()));
            Write(stdout, text);
        } else if (command == "cwd") {
            char folder[MAX_PATH] = {};
            ::GetCurrentDirectoryA(sizeof folder, folder);
            Write(stdout, std::string(folder) + "\n");
        } else if (command == "args") {
            for (int j = 1; j < argc; ++j)
                Write(stdout, "[" + std::string(argv[j]) + "]\n");
        }
    }
    return 0;
}
