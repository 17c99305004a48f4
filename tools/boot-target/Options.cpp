#include "Options.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/text/LicenceNotice.h"

namespace boot_target {

void printUsage() {
    std::printf(
        "usage: boot-target [options]\n"
        "Plays a PIC boot loader on a pseudo-terminal (or a serial device) for bootloader.\n"
        "\n"
        "Where:\n"
        "  --com N            link the port-map folder's comN to the pseudo-terminal\n"
        "                     ($COMPORTS_DIR, else $XDG_CONFIG_HOME/comports, else\n"
        "                     ~/.config/comports)\n"
        "  --link PATH        link PATH (for example DIR/com3) to the pseudo-terminal\n"
        "  --device PATH      use a real serial device instead of a pseudo-terminal\n"
        "  --speed N          the device's speed (default 115200)\n"
        "Answers:\n"
        "  --ident TEXT       identification line (default \"Vell-3.2 boot-target\")\n"
        "  --lf-only          end the line with LF alone (default CR LF)\n"
        "  --erase N          erase count: progress bytes sent while erasing (default 64;\n"
        "                     with 0 the loader waits for one more byte, which never comes)\n"
        "  --erase-batch N    progress bytes per write (default 16)\n"
        "  --erase-delay MS   pause between progress writes (default 5)\n"
        "  --reply-delay MS   pause before every reply\n"
        "  --split            send every reply byte on its own (gap --split-gap MS, default 3)\n"
        "  --pace BAUD        emulate a line of BAUD bit/s, 10 bits per byte each way\n"
        "Faults (N counts image bytes from 0):\n"
        "  --wrong-echo N     answer byte N with a wrong echo first, then the right one\n"
        "                     (again every 2 s until the next byte comes)\n"
        "  --silent-from N    stop answering at byte N\n"
        "  --vanish-at N      disappear (close the port and exit) when byte N arrives\n"
        "Output:\n"
        "  --out FILE         write the image bytes received to FILE; for a scrambled image\n"
        "                     the recovered Q values, and the session bytes to FILE.session\n"
        "  --once             exit after the first programming session\n"
        "  --quiet            print only the summary\n"
        "  -h, --help         show this help\n"
        "  --version          show the version and the licence\n");
}

namespace {

bool toNumber(const char* text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && value >= 0;
}

}  // namespace

std::optional<Options> parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto needValue = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "boot-target: %s needs a value\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        auto number = [&](const char* name, long long& out) {
            const char* v = needValue(name);
            if (v == nullptr) {
                return false;
            }
            if (!toNumber(v, out)) {
                std::fprintf(stderr, "boot-target: %s wants a number, not \"%s\"\n", name, v);
                return false;
            }
            return true;
        };
        long long n = 0;
        if (arg == "--help" || arg == "-h") {
            printUsage();
            std::exit(0);
        } else if (arg == "--version") {
            std::printf("boot-target %s\n%s", BOOT_TARGET_VERSION, platform::licenceNotice);
            std::exit(0);
        } else if (arg == "--com") {
            if (!number("--com", n))
                return std::nullopt;
            o.comNumber = static_cast<int>(n);
        } else if (arg == "--link" || arg == "--device" || arg == "--ident" || arg == "--out") {
            const char* v = needValue(argv[i]);
            if (v == nullptr)
                return std::nullopt;
            if (arg == "--link")
                o.linkPath = v;
            if (arg == "--device")
                o.devicePath = v;
            if (arg == "--ident")
                o.ident = v;
            if (arg == "--out")
                o.outPath = v;
        } else if (arg == "--lf-only") {
            o.lineEnd = "\n";
        } else if (arg == "--split") {
            o.splitReplies = true;
        } else if (arg == "--once") {
            o.once = true;
        } else if (arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--speed" || arg == "--erase" || arg == "--erase-batch" ||
                   arg == "--erase-delay" || arg == "--reply-delay" || arg == "--split-gap" ||
                   arg == "--pace") {
            if (!number(argv[i], n))
                return std::nullopt;
            int v = static_cast<int>(n);
            if (arg == "--speed")
                o.deviceSpeed = v;
            if (arg == "--erase")
                o.eraseCount = v;
            if (arg == "--erase-batch")
                o.eraseBatch = v < 1 ? 1 : v;
            if (arg == "--erase-delay")
                o.eraseDelayMs = v;
            if (arg == "--reply-delay")
                o.replyDelayMs = v;
            if (arg == "--split-gap")
                o.splitGapMs = v;
            if (arg == "--pace")
                o.pace = v;
        } else if (arg == "--wrong-echo" || arg == "--silent-from" || arg == "--vanish-at") {
            if (!number(argv[i], n))
                return std::nullopt;
            auto v = static_cast<std::uint32_t>(n);
            if (arg == "--wrong-echo")
                o.wrongEchoAt = v;
            if (arg == "--silent-from")
                o.silentFrom = v;
            if (arg == "--vanish-at")
                o.vanishAt = v;
        } else {
            std::fprintf(stderr, "boot-target: unknown option %s\n\n", argv[i]);
            printUsage();
            return std::nullopt;
        }
    }
    if (o.eraseCount > 0xFFFF) {
        std::fprintf(stderr, "boot-target: --erase is at most 65535\n");
        return std::nullopt;
    }
    return o;
}

}  // namespace boot_target
