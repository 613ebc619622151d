'use strict';

const { Broadcast: B } = require('ranvier');

module.exports = {
  usage: 'quit',
  command: state => (args, player) => {
    B.sayAt(player, 'Farewell.');
    player.socket.end();
    player.__quit = true;
  },
};
