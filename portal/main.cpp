#include "portaldata.h"
#include "portalserver.h"
#include "textutil.h"
#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const char kUsage[] =
    "usage: kavo-portal [options]\n"
    "Demo portal for the Kavo game box, served on 127.0.0.1 only.\n"
    "\n"
    "  --port N           port to listen on (default 18765; 0 picks a free port)\n"
    "  --root DIR         folder holding site/ and data/ (default: the portal's source folder)\n"
    "  --demo-login NAME  the login page logs in as NAME by itself\n"
    "  --demo-login-delay MS  how long after its load that happens (default 2000)\n"
    "  --bench            pages report their loads, the home page relays queued messages\n"
    "  --version-code N   version_code reported by /update/ (default 2)\n"
    "  --force N          force value reported by /update/ (default 0)\n"
    "  --help             show this text\n";

enum class ParseResult { Run, Help, Error };

ParseResult parseOptions(int argc, char **argv, PortalOptions &options, std::string &error)
{
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            return ParseResult::Help;
        }
        if (name == "--bench" && !hasValue) {
            options.bench = true;
            continue;
        }
        const bool takesValue = name == "--port" || name == "--root" || name == "--demo-login"
            || name == "--demo-login-delay" || name == "--version-code" || name == "--force";
        if (!takesValue) {
            error = "unknown option " + name;
            return ParseResult::Error;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return ParseResult::Error;
            }
            value = argv[++i];
        }

        long long number = 0;
        if (name == "--root") {
            options.root = value;
        } else if (name == "--demo-login") {
            options.demoLogin = value;
        } else if (name == "--port") {
            if (!parseInt(value, 0, 65535, number)) {
                error = "--port needs a number from 0 to 65535";
                return ParseResult::Error;
            }
            options.port = int(number);
        } else if (name == "--demo-login-delay") {
            if (!parseInt(value, 0, 600000, number)) {
                error = "--demo-login-delay needs a number of milliseconds up to 600000";
                return ParseResult::Error;
            }
            options.demoLoginDelayMs = int(number);
        } else if (!parseInt(value, 0, 2147483647, number)) {
            error = name + " needs a non-negative number";
            return ParseResult::Error;
        } else if (name == "--version-code") {
            options.versionCode = int(number);
        } else {
            options.force = int(number);
        }
    }
    if (options.root.empty()) {
        error = "--root needs a folder";
        return ParseResult::Error;
    }
    return ParseResult::Run;
}

} // namespace

int main(int argc, char **argv)
{
    // Block the stop signals from the start and in every thread (the server's
    // workers inherit the mask), and take them synchronously once serving:
    // stopping the server is not something a signal handler may do.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    PortalOptions options;
    options.root = KAVO_PORTAL_SOURCE_DIR;
    std::string error;
    switch (parseOptions(argc, argv, options, error)) {
    case ParseResult::Help:
        std::cout << kUsage;
        return 0;
    case ParseResult::Error:
        std::cerr << "kavo-portal: " << error << "\n" << kUsage;
        return 2;
    case ParseResult::Run:
        break;
    }

    if (!std::ifstream(options.root + "/site/pages/index.html")) {
        std::cerr << "kavo-portal: no site under " << options.root << "\n";
        return 1;
    }
    const int64_t startTime =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    PortalData data;
    if (!data.load(options.root + "/data", startTime, &error)) {
        std::cerr << "kavo-portal: " << error << "\n";
        return 1;
    }

    PortalServer server(options, data);
    const int port = server.bind();
    if (port < 0) {
        std::cerr << "kavo-portal: cannot listen on 127.0.0.1:" << options.port << "\n";
        return 1;
    }
    // Test harnesses wait for exactly this first line to learn the port.
    std::cout << "listening on 127.0.0.1:" << port << std::endl;

    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> failed{false};
    std::thread serving([&] {
        server.run();
        finished = true;
        // The server only ends by itself when something broke; wake the main thread.
        if (!stopping) {
            failed = true;
            kill(getpid(), SIGTERM);
        }
    });

    int signal = 0;
    sigwait(&stopSignals, &signal);
    stopping = true;
    // A signal can arrive before the accept loop runs, when stop() would do
    // nothing; calling stop() twice on a running server is not allowed either.
    while (!finished && !server.isRunning())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!finished)
        server.stop();
    serving.join();
    if (failed) {
        std::cerr << "kavo-portal: the server stopped unexpectedly\n";
        return 1;
    }
    return 0;
}
