// `lumbrix slurm` against a real one-node SLURM cluster that the fixture starts on this
// machine (munged, slurmctld, slurmd) and stops, by process id, whatever the tests did.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FaultSupport.h"
#include "Process.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;

const char* const kDaemons[] = {"/usr/sbin/munged", "/usr/sbin/slurmctld", "/usr/sbin/slurmd", "/usr/bin/sbatch",
                                "/usr/bin/squeue", "/usr/bin/scancel", "/usr/bin/scontrol"};

int freeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

std::string shortHostName()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    std::string host = name;
    return host.substr(0, host.find('.'));
}

long memoryMb()
{
    std::ifstream info("/proc/meminfo");
    std::string key;
    long kilobytes = 0;
    while (info >> key >> kilobytes)
        if (key == "MemTotal:")
            return kilobytes / 1024;
    return 1024;
}

// A daemon in the foreground, its output into a log file; as `user` when given.
pid_t startDaemon(const std::vector<std::string>& argv, const std::string& log, const passwd* user = nullptr)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    const int null = open("/dev/null", O_RDONLY);
    dup2(null, STDIN_FILENO);
    setsid();
    if (user && (setgroups(0, nullptr) != 0 || setgid(user->pw_gid) != 0 || setuid(user->pw_uid) != 0))
        _exit(126);
    // Should the suite itself die, its daemons go with it (set after the change of user,
    // which clears it).
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() == 1)
        _exit(125);
    std::vector<char*> words;
    for (const std::string& word : argv)
        words.push_back(const_cast<char*>(word.c_str()));
    words.push_back(nullptr);
    execv(words[0], words.data());
    _exit(127);
}

ProcessResult slurmCommand(std::vector<std::string> argv, double timeout = 60)
{
    ProcessOptions options;
    options.timeoutSeconds = timeout;
    return runProcess(argv, options);
}

ProcessResult lumbrix(std::vector<std::string> arguments, double timeout = 120)
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    ProcessOptions options;
    options.timeoutSeconds = timeout;
    return runProcess(arguments, options);
}

// The suite's exit status when it cannot run here at all; CTest counts it as skipped.
constexpr int kSkipped = 77;

// Why the suite cannot run on this machine, or "": the README's two reasons only. Anything
// else that keeps the cluster from starting is a failure.
std::string reasonToSkip()
{
    if (geteuid() != 0)
        return "a SLURM cluster of its own needs root";
    for (const char* binary : kDaemons)
        if (access(binary, X_OK) != 0)
            return std::string(binary) + " is missing (Debian packages slurm-wlm and munge)";
    return {};
}

class Cluster {
public:
    void start()
    {
        const passwd* munge = getpwnam("munge");
        if (!munge) {
            ADD_FAILURE() << "no user munge: the Debian package munge is not installed whole";
            return;
        }
        m_dir = std::make_unique<TempDir>();
        const std::string dir = m_dir->path();
        chmod(dir.c_str(), 0755);
        const std::string mungeDir = m_dir->folder("munge");
        m_dir->folder("state");
        m_dir->folder("spool");
        std::string key(1024, '\0');
        std::ifstream("/dev/urandom").read(key.data(), static_cast<std::streamsize>(key.size()));
        const std::string keyFile = m_dir->write("munge/munge.key", key);
        chmod(keyFile.c_str(), 0400);
        for (const std::string& path : {mungeDir, keyFile})
            if (chown(path.c_str(), munge->pw_uid, munge->pw_gid) != 0)
                ADD_FAILURE() << "chown " << path;
        m_socket = mungeDir + "/munge.socket";

        const std::string host = shortHostName();
        std::ostringstream conf;
        const int controllerPort = freeLoopbackPort();
        int nodePort = freeLoopbackPort();
        while (nodePort == controllerPort)
            nodePort = freeLoopbackPort();
        conf << "ClusterName=lumbrixtest\n"
             << "SlurmctldHost=" << host << "(127.0.0.1)\n"
             << "SlurmctldPort=" << controllerPort << "\n"
             << "SlurmdPort=" << nodePort << "\n"
             << "SlurmUser=root\nSlurmdUser=root\n"
             << "AuthType=auth/munge\nCredType=cred/munge\nAuthInfo=socket=" << m_socket << "\n"
             << "StateSaveLocation=" << dir << "/state\nSlurmdSpoolDir=" << dir << "/spool\n"
             << "SlurmctldPidFile=" << dir << "/slurmctld.pid\nSlurmdPidFile=" << dir << "/slurmd.pid\n"
             << "SlurmctldLogFile=" << dir << "/slurmctld.log\nSlurmdLogFile=" << dir << "/slurmd.log\n"
             << "ProctrackType=proctrack/linuxproc\nTaskPlugin=task/none\n"
             << "SelectType=select/cons_tres\nSelectTypeParameters=CR_Core_Memory\n"
             << "AccountingStorageType=accounting_storage/none\nJobAcctGatherType=jobacct_gather/none\n"
             << "JobCompType=jobcomp/none\nMpiDefault=none\nReturnToService=2\n"
             << "SchedulerParameters=sched_interval=1\nMinJobAge=600\n"
             << "NodeName=" << host << " NodeAddr=127.0.0.1 CPUs=" << sysconf(_SC_NPROCESSORS_ONLN)
             << " RealMemory=" << memoryMb() << " State=UNKNOWN\n"
             << "PartitionName=lumbrix Nodes=" << host << " Default=YES MaxTime=INFINITE State=UP\n";
        // More settings, later ones winning: a way to try the suite on a cluster that cannot start.
        if (const char* more = getenv("LUMBRIX_SLURM_TEST_CONF"))
            conf << more << "\n";
        const std::string confFile = m_dir->write("slurm.conf", conf.str());
        setenv("SLURM_CONF", confFile.c_str(), 1);

        m_pids.push_back(startDaemon({"/usr/sbin/munged", "-F", "--key-file=" + keyFile, "--socket=" + m_socket,
                                      "--pid-file=" + mungeDir + "/munged.pid", "--log-file=" + mungeDir + "/munged.log",
                                      "--seed-file=" + mungeDir + "/munged.seed"},
                                     dir + "/munged.out", munge));
        if (!waitFor([&] { return access(m_socket.c_str(), F_OK) == 0; }, 10s)) {
            ADD_FAILURE() << "munged did not start: " << readFile(dir + "/munged.out");
            return;
        }
        m_pids.push_back(startDaemon({"/usr/sbin/slurmctld", "-D", "-i", "-f", confFile}, dir + "/slurmctld.out"));
        m_pids.push_back(startDaemon({"/usr/sbin/slurmd", "-D", "-f", confFile}, dir + "/slurmd.out"));
        bool ended = false;
        const bool idle = waitFor(
                              [&] {
                                  ended = ended || daemonEnded();
                                  return ended
                                      || slurmCommand({"/usr/bin/sinfo", "-h", "-o", "%T"}, 10).out.starts_with("idle");
                              },
                              60s)
            && !ended;
        if (!idle) {
            ADD_FAILURE() << (ended ? "a daemon ended as it started:\n" : "the node never became idle:\n")
                          << readFile(dir + "/slurmctld.out") << readFile(dir + "/slurmd.out")
                          << readFile(dir + "/slurmctld.log") << readFile(dir + "/slurmd.log");
            return;
        }
        m_up = true;
    }

    // Every job of this cluster cancelled, then the daemons this fixture started, by pid.
    void stop()
    {
        if (m_up) {
            slurmCommand({"/usr/bin/scancel", "--full", "--user=" + std::to_string(geteuid())}, 20);
            waitFor([] { return slurmCommand({"/usr/bin/squeue", "-h"}, 10).out.empty(); }, 20s);
        }
        for (auto pid = m_pids.rbegin(); pid != m_pids.rend(); ++pid) {
            kill(*pid, SIGTERM);
            bool ended = false;
            for (int i = 0; i < 100 && !ended; ++i) {
                ended = waitpid(*pid, nullptr, WNOHANG) == *pid;
                if (!ended)
                    std::this_thread::sleep_for(100ms);
            }
            if (!ended) {
                kill(*pid, SIGKILL);
                waitpid(*pid, nullptr, 0);
            }
        }
        m_pids.clear();
        m_dir.reset();
        unsetenv("SLURM_CONF");
    }

    bool up() const { return m_up; }

    static bool waitFor(const std::function<bool()>& done, std::chrono::seconds timeout)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (done())
                return true;
            std::this_thread::sleep_for(250ms);
        }
        return done();
    }

private:
    // Whether one of the daemons has ended, which is then no longer ours to stop.
    bool daemonEnded()
    {
        for (auto pid = m_pids.begin(); pid != m_pids.end(); ++pid) {
            if (waitpid(*pid, nullptr, WNOHANG) == *pid) {
                m_pids.erase(pid);
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<TempDir> m_dir;
    std::string m_socket;
    std::vector<pid_t> m_pids;
    bool m_up = false;
};

Cluster cluster;

// Whether every job of the list has left the queue.
bool jobsGone(const std::vector<std::string>& ids, std::chrono::seconds timeout = 180s)
{
    std::string list;
    for (const std::string& id : ids)
        list += (list.empty() ? "" : ",") + id;
    return Cluster::waitFor([&] { return slurmCommand({"/usr/bin/squeue", "-h", "-j", list}, 10).out.empty(); },
                            timeout);
}

// The results rows without the times, which differ from run to run.
std::vector<std::string> rowsWithoutTimes(const std::string& path)
{
    std::vector<std::string> rows;
    std::vector<CsvRecord> records;
    std::string problem;
    EXPECT_TRUE(parseResultsFile(readFile(path), records, problem)) << path << ": " << problem;
    for (std::size_t i = 1; i < records.size(); ++i)
        if (const CsvRecord& record = records[i]; record.size() == 6)
            rows.push_back(record[0] + ";" + record[1] + ";" + record[3] + ";" + record[4]);
    return rows;
}

std::string scontrolField(const std::string& job, const std::string& field)
{
    const std::string text = slurmCommand({"/usr/bin/scontrol", "show", "job", job}).out;
    const std::size_t at = text.find(" " + field + "=");
    if (at == std::string::npos)
        return {};
    const std::size_t begin = at + field.size() + 2;
    return text.substr(begin, text.find_first_of(" \n", begin) - begin);
}

class Slurm : public testing::Test {
protected:
    static void SetUpTestSuite() { cluster.start(); }
    static void TearDownTestSuite() { cluster.stop(); }
    void SetUp() override { ASSERT_TRUE(cluster.up()); }

    // 30 small models of every kind: LPs, MIPs, a few the reader refuses, and a file that
    // is no model, so that listing numbers and model numbers differ.
    static void fillModels(const TempDir& models)
    {
        for (int i = 0; i < 30; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "m%02d.lp", i);
            models.write(name, i % 7 == 3 ? brokenModel() : i % 2 ? mipWithOptimum(i) : lpWithOptimum(i));
        }
        models.write("leia-me.txt", "nada\n");
    }

    static std::vector<std::string> submitted(const ProcessResult& result)
    {
        std::vector<std::string> ids;
        std::istringstream lines(result.out);
        for (std::string line; std::getline(lines, line);)
            ids.push_back(line);
        return ids;
    }
};

TEST_F(Slurm, ArrayJobAndMergeGiveTheRowsOfALocalRun)
{
    TempDir models, local, output;
    fillModels(models);
    const ProcessResult whole = lumbrix({"opt", models.path(), local.path(), "--quiet"});
    ASSERT_EQ(whole.exitCode, 1) << whole.err;  // the broken models

    const ProcessResult result = lumbrix({"slurm", models.path(), output.path(), "--quiet", "--tasks", "4"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> ids = submitted(result);
    ASSERT_EQ(ids.size(), 2u) << result.out;
    ASSERT_TRUE(jobsGone(ids)) << slurmCommand({"/usr/bin/squeue"}).out;

    EXPECT_EQ(scontrolField(ids[1], "ExitCode"), "0:0") << readFile(output.file("sol_slurm_merge-" + ids[1] + ".out"));
    EXPECT_EQ(rowsWithoutTimes(output.file("sol_stat.csv")), rowsWithoutTimes(local.file("sol_stat.csv")));
    EXPECT_EQ(rowsWithoutTimes(output.file("sol_stat.csv")).size(), 30u);
    for (int task = 0; task < 4; ++task)
        EXPECT_TRUE(fileExists(output.file("sol_stat.shard-" + std::to_string(task + 1) + "-of-4.csv")));
    // Each task's report is in its log, numbered as in the whole folder.
    EXPECT_NE(readFile(output.file("sol_slurm_opt-" + ids[0] + "_1.out")).find("MODELO 29 \n"), std::string::npos);
}

// SLURM reads the log files' names as patterns: an output folder with a '%' of its own
// still gets every log.
TEST_F(Slurm, AnOutputFolderWithAPercentGetsTheLogs)
{
    TempDir models, output;
    models.write("a.lp", lpWithOptimum(1));
    models.write("b.lp", mipWithOptimum(2));
    const std::string out = output.folder("100%-%j");
    const ProcessResult result = lumbrix({"slurm", models.path(), out, "--quiet", "--tasks", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> ids = submitted(result);
    ASSERT_EQ(ids.size(), 2u) << result.out;
    ASSERT_TRUE(jobsGone(ids)) << slurmCommand({"/usr/bin/squeue"}).out;

    EXPECT_EQ(folderEntries(output.path()), std::vector<std::string>{"100%-%j"});
    for (const std::string& log : {"sol_slurm_opt-" + ids[0] + "_0.out", "sol_slurm_opt-" + ids[0] + "_1.out"})
        EXPECT_NE(readFile(out + "/" + log).find("MODELO "), std::string::npos) << log;
    EXPECT_TRUE(fileExists(out + "/sol_slurm_merge-" + ids[1] + ".out"));
    EXPECT_EQ(scontrolField(ids[1], "ExitCode"), "0:0");
    EXPECT_EQ(rowsWithoutTimes(out + "/sol_stat.csv").size(), 2u);
}

TEST_F(Slurm, ACancelledTaskIsNamedByTheMergeAndASecondAttemptCompletesTheRun)
{
    TempDir models, local, output;
    fillModels(models);
    lumbrix({"opt", models.path(), local.path(), "--quiet"});

    // Held, so that task 1 can be cancelled before it runs.
    const ProcessResult result =
        lumbrix({"slurm", models.path(), output.path(), "--quiet", "--tasks", "3", "--sbatch-arg", "--hold"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> ids = submitted(result);
    ASSERT_EQ(ids.size(), 2u) << result.out;
    ASSERT_EQ(slurmCommand({"/usr/bin/scancel", ids[0] + "_1"}).exitCode, 0);
    ASSERT_EQ(slurmCommand({"/usr/bin/scontrol", "release", ids[0] + "_0", ids[0] + "_2", ids[1]}).exitCode, 0);
    ASSERT_TRUE(jobsGone(ids)) << slurmCommand({"/usr/bin/squeue"}).out;

    // leia-me.txt comes first in the listing; shard 2 of 3 holds the listing numbers 1, 4,
    // 7, ...: m00, m03, ... m27.
    std::string missing;
    for (int i = 0; i < 30; i += 3)
        missing += "Modelo sem resultado: m" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".lp\n";
    EXPECT_EQ(scontrolField(ids[1], "ExitCode"), "1:0");
    EXPECT_EQ(readFile(output.file("sol_slurm_merge-" + ids[1] + ".out")), missing);
    EXPECT_EQ(rowsWithoutTimes(output.file("sol_stat.csv")).size(), 20u);

    // The task alone again, as the README says: its script holds the first submission's
    // requests (--hold among them here), then a new merge.
    const ProcessResult again =
        slurmCommand({"/usr/bin/sbatch", "--parsable", "--array=1", output.file("sol_slurm_opt.sh")});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    const std::string task = again.out.substr(0, again.out.find_first_of(";\n"));
    EXPECT_EQ(scontrolField(task, "JobState"), "PENDING");
    ASSERT_EQ(slurmCommand({"/usr/bin/scontrol", "release", task}).exitCode, 0);
    ASSERT_TRUE(jobsGone({task}));
    EXPECT_EQ(scontrolField(task, "ExitCode"), "1:0");  // the task's own status: m03 and m24 are broken
    EXPECT_NE(readFile(output.file("sol_slurm_opt-" + task + "_1.out")).find("MODELO 28 \n"), std::string::npos);
    const ProcessResult merged = lumbrix({"merge", output.path()});
    EXPECT_EQ(merged.exitCode, 0) << merged.err;
    EXPECT_EQ(merged.err, "");
    EXPECT_EQ(rowsWithoutTimes(output.file("sol_stat.csv")), rowsWithoutTimes(local.file("sol_stat.csv")));
}

}  // namespace

// Skipped as a whole, before GoogleTest runs anything, only for the reasons above: a set-up
// that fails is then a failed suite, never a skipped one.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (const std::string reason = reasonToSkip(); !reason.empty()) {
        std::cout << "SLURM suite skipped: " << reason << "\n";
        return kSkipped;
    }
    return RUN_ALL_TESTS();
}
