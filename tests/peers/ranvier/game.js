#!/usr/bin/env node
'use strict';

// A small game on the Ranvier engine, run by Quarvelin's peer tests:
//   node game.js --port N      serves the game on 127.0.0.1:N ("listening on ..." once ready)
//   node game.js --dump-world  prints the rooms as JSON and exits
// The engine's packages are found through NODE_PATH (the tests install them outside the
// source tree).

const Ranvier = require('ranvier');
const { Config, Logger } = Ranvier;

const args = process.argv.slice(2);
const portArg = args.indexOf('--port');
const commander = { port: portArg >= 0 ? Number(args[portArg + 1]) : 4000 };
const dump = args.includes('--dump-world');

Ranvier.Data.setDataPath(__dirname + '/data/');
Config.load(require('./ranvier.json'));
Logger.setLevel(process.env.RANVIER_LOG_LEVEL || 'warn');

async function main() {
  const state = {
    AccountManager: new Ranvier.AccountManager(),
    AreaBehaviorManager: new Ranvier.BehaviorManager(),
    AreaFactory: new Ranvier.AreaFactory(),
    AreaManager: new Ranvier.AreaManager(),
    AttributeFactory: new Ranvier.AttributeFactory(),
    ChannelManager: new Ranvier.ChannelManager(),
    CommandManager: new Ranvier.CommandManager(),
    Config,
    EffectFactory: new Ranvier.EffectFactory(),
    HelpManager: new Ranvier.HelpManager(),
    InputEventManager: new Ranvier.EventManager(),
    ItemBehaviorManager: new Ranvier.BehaviorManager(),
    ItemFactory: new Ranvier.ItemFactory(),
    ItemManager: new Ranvier.ItemManager(),
    MobBehaviorManager: new Ranvier.BehaviorManager(),
    MobFactory: new Ranvier.MobFactory(),
    MobManager: new Ranvier.MobManager(),
    PartyManager: new Ranvier.PartyManager(),
    PlayerManager: new Ranvier.PlayerManager(),
    QuestFactory: new Ranvier.QuestFactory(),
    QuestGoalManager: new Ranvier.QuestGoalManager(),
    QuestRewardManager: new Ranvier.QuestRewardManager(),
    RoomBehaviorManager: new Ranvier.BehaviorManager(),
    RoomFactory: new Ranvier.RoomFactory(),
    RoomManager: new Ranvier.RoomManager(),
    SkillManager: new Ranvier.SkillManager(),
    SpellManager: new Ranvier.SkillManager(),
    ServerEventManager: new Ranvier.EventManager(),
    GameServer: new Ranvier.GameServer(),
    DataLoader: Ranvier.Data,
    EntityLoaderRegistry: new Ranvier.EntityLoaderRegistry(),
    DataSourceRegistry: new Ranvier.DataSourceRegistry(),
  };

  state.DataSourceRegistry.load(require, __dirname, Config.get('dataSources'));
  state.EntityLoaderRegistry.load(state.DataSourceRegistry, Config.get('entityLoaders'));

  const bundles = new Ranvier.BundleManager(__dirname + '/bundles/', state);
  state.BundleManager = bundles;
  await bundles.loadBundles();

  if (dump) {
    const RoomView = require('./bundles/peer-world/lib/RoomView');
    const rooms = [];
    for (const room of state.RoomManager.rooms.values()) {
      rooms.push(Object.assign(RoomView.info(state, room), {
        ref: room.entityReference,
        description: room.description,
      }));
    }
    rooms.sort((a, b) => a.num - b.num);
    const start = state.RoomManager.getRoom(Config.get('startingRoom')).getMeta('num');
    process.stdout.write(JSON.stringify({ start, rooms }, null, 1) + '\n');
    process.exit(0);
  }

  state.ServerEventManager.attach(state.GameServer);
  state.GameServer.startup(commander);
  process.on('SIGTERM', () => process.exit(0));
}

main().catch(err => {
  console.error(err.stack || err);
  process.exit(1);
});
