'use strict';

// The command loop: a direction word moves, anything else is a command by its name or the
// start of it.

const { Broadcast: B, Logger } = require('ranvier');
const RoomView = require('../lib/RoomView');

function direction(word) {
  return RoomView.ORDER.find(dir => word.length && dir.indexOf(word) === 0);
}

module.exports = {
  event: state => player => {
    player.socket.once('data', data => {
      const loop = () => player.socket.emit('commands', player);
      const line = data.toString().trim();
      if (!line.length) {
        B.prompt(player);
        return loop();
      }
      const [word, ...rest] = line.split(/\s+/);
      const dir = direction(word.toLowerCase());
      try {
        if (dir) {
          const exit = player.room.findExit(dir);
          const next = exit && state.RoomManager.getRoom(exit.roomId);
          if (next) {
            B.sayAt(player, `You walk ${dir}.`);
            player.moveTo(next);
            RoomView.show(state, player);
          } else {
            B.sayAt(player, "You can't go that way.");
          }
        } else {
          const command = state.CommandManager.find(word.toLowerCase());
          if (!command) {
            B.sayAt(player, 'Huh?');
          } else {
            command.execute(rest.join(' '), player, word);
            if (player.__quit) return;
          }
        }
      } catch (err) {
        Logger.error(err.stack || err);
      }
      B.prompt(player);
      loop();
    });
  },
};
