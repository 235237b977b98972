// The LV2 backend: a bundle folder's plug-in, or an installed one by its
// URI, through lilv. The parameters are its control input ports in its own
// units; the read-out is a scale point's label or the value itself. An LV2
// plug-in's ports are its state here: the bytes are their values.
#pragma once

#include <memory>
#include <string>

#include "tools/hosting/HostedPlugin.h"
#include "tools/hosting/lv2/Lv2Host.h"

class Lv2Plugin : public HostedPlugin {
public:
    static std::unique_ptr<HostedPlugin> open(const std::string& bundleOrUri, const PluginSetup& setup,
                                              std::string& error);

    PluginFormat format() const override { return PluginFormat::Lv2; }
    const std::string& path() const override { return named; }
    std::string name() override { return world.name(); }
    std::string vendor() override { return world.author(); }
    std::vector<std::pair<std::string, std::string>> formatDetails() override;
    int inputCount() const override { return static_cast<int>(instance->audioInputCount()); }
    int outputCount() const override { return static_cast<int>(instance->audioOutputCount()); }

    int parameterCount() const override { return static_cast<int>(controlPorts.size()); }
    ParameterInfo parameterInfo(int index) override { return parameters.at(index); }
    double parameterValue(int index) override { return instance->port(controlPorts.at(index)); }
    void setParameterValue(int index, double value) override;
    std::string readOut(int index) override;

    bool sendMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2) override;
    void start() override { instance->activate(); }
    void stop() override { instance->deactivate(); }
    void process(float** inputs, float** outputs, int frames) override;

    bool saveState(std::vector<uint8_t>& state, std::string& error) override;
    bool restoreState(const std::vector<uint8_t>& state, std::string& error) override;
    bool keepsOwnState() const override { return false; }

private:
    bool instantiate(const PluginSetup& setup, std::string& error);
    void describeControls();

    std::string named;
    Lv2World world;
    std::unique_ptr<Lv2Instance> instance;
    std::vector<uint32_t> controlPorts;  // the control input ports, by parameter index
    std::vector<ParameterInfo> parameters;
};
