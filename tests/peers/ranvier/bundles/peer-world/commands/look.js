'use strict';

const RoomView = require('../lib/RoomView');

module.exports = {
  aliases: ['l'],
  usage: 'look',
  command: state => (args, player) => RoomView.show(state, player),
};
